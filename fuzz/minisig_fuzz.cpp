// Feeds arbitrary bytes to the `.minisig` parser, and what it accepts to the verifier with the
// rest of the input as the file, so a parsed signature is always checked end to end too.
#include "minisign_format.h"
#include "signature_check.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    // The demo publisher key, so that inputs with the right key id reach the signature checks.
    static const auto key =
        verify::ParseMinisignPublicKey("RWTxVTos4oYBrh/YyIuuPe6n/Grs20DavVhxnmGkE416Ll5/7ylVmFDT");
    if (!key)
        __builtin_trap();

    // The signature is the input up to a NUL byte; what follows it is the file.
    const auto split = input.find('\0');
    const std::string_view text = input.substr(0, split);
    const std::string_view file =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    std::string why;
    const auto signature = verify::ParseMinisignSignature(text, &why);
    if (!signature) {
        if (why.empty())
            __builtin_trap(); // every refusal says why
        return 0;
    }
    verify::StreamingVerifier verifier(*key, *signature);
    verifier.Update(file.data(), file.size() / 2);
    verifier.Update(file.data() + file.size() / 2, file.size() - file.size() / 2);
    verifier.Finish();
    return 0;
}
