// Reading the release date of this program from the maker's download page.
#pragma once

#include <string>

// The outcome of one page scan.
struct tReleaseCheck {
    bool Usable = false; // the page held a readable release date for the file
    bool Newer = false;  // that date differs from ours (earlier or later)
    std::string Link;    // the download link found last; empty when none
};

// Scans a page (UTF-8) for the link whose text is fileName (any letter case)
// and the date cell after the link's cell ("16. Mai 2011", German month
// names), and compares that date with year, month and day. A link without
// "/" is taken as a file at siteAddress. Any content and size of page is
// handled; the scan is linear in the page size.
tReleaseCheck ScanVersionPage(std::string page, const std::string& fileName,
                              const std::string& siteAddress, int year, int month, int day);

// The entity and line-break replacements applied to the page before the scan.
std::string DecodePageText(std::string page);

// Upper case of UTF-8 text for ASCII and the Latin letters of Windows-1252
// (umlauts included); everything else is kept.
std::string UpperText(const std::string& text);

// The value of the leading decimal number after leading blanks; 0 without
// one. Saturates instead of overflowing.
int LeadingNumber(const std::string& text);

// Only http and https addresses may be handed to the desktop as a download:
// a page must not make the program open a local file or start a program.
bool IsWebAddress(const std::string& address);
