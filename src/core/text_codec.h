// Conversion between UTF-8 and Windows-1252, the code page of the settings file and the wire.
#pragma once

#include <string>

// Characters that Windows-1252 cannot hold become '?', and so does every
// byte of malformed UTF-8 (stray continuation bytes, overlong forms,
// surrogates, truncated sequences).
std::string Utf8ToCp1252(const std::string& utf8);

// Every byte has a meaning: the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the control characters
// U+0081 etc., which encode back to the same byte. So a file read and
// written again keeps every byte, whatever it held.
std::string Cp1252ToUtf8(const std::string& cp1252);
