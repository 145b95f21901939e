// Fuzz target: decoding received datagrams and the receiving rules that need no window.
#include <cstddef>
#include <cstdint>

#include "core/datagram.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<tDatagram> d = tDatagram::Decode(data, size);
    FUZZ_CHECK(d.has_value() == (size == kDatagramSize));
    if (!d)
        return 0;
    // The receiver reads the whole field, one byte more than a sender writes.
    FUZZ_CHECK(d->Name.size() <= kNameMaxChars + 1);
    FUZZ_CHECK(d->Text.size() <= kTextMaxChars + 1);

    // What a peer sends after decoding is stable: encoding what was decoded
    // and decoding it again changes nothing more.
    const tDatagramBytes once = d->Encode();
    const std::optional<tDatagram> again = tDatagram::Decode(once.data(), once.size());
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->Encode() == once);

    // The PC that receives knows two own addresses; one of them may be the
    // sender of the datagram itself.
    tIpList own;
    own.Add(AddressFromOctets(192, 168, 1, 10));
    own.Add(d->HomeAddress);
    const tReceiveAction action = ReceiveActionFor(*d, own);
    if (d->Kind > kLastRepairKind)
        FUZZ_CHECK(action == raIgnore);
    FUZZ_CHECK(d->Progress.size() <= kProgressEntries);
    if (action == raAddBoard || action == raAddBoardAgain) {
        // A board taken over must be playable and traceable to its home.
        FUZZ_CHECK(d->Order.IsPermutation());
        FUZZ_CHECK(HomeAddressOf(*d) != 0);
        FUZZ_CHECK(d->SenderAddress != 0 && !own.Contains(d->SenderAddress));
    }
    if (action != raIgnore && action != raShowGameRunning && action != raShowNoPlayers)
        FUZZ_CHECK(d->SenderAddress != 0);
    (void)OwnAddressFor(own, d->SenderAddress);
    return 0;
}
