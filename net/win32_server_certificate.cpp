// The server's certificate checked against Windows' trust store: the chain built by the system
// from the certificates the server sent, then the system's SSL policy with the host name.

// Before any system header: the chain parameters with their revocation time-out, the security
// interface for applications.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#define SECURITY_WIN32

#include "win32_server_certificate.h"

#include "curl_library.h"

#include <windows.h>

#include <schannel.h>
#include <security.h>

#include <cstdio>
#include <memory>

namespace net {

namespace {

/// All revocation look-ups of one check together (the system's default allows 15 s per
/// address). The transfer's poll loop waits while they run, so a cancel waits for them too.
constexpr DWORD kRevocationLookupMs = 5000;

/// The chain errors that refuse a certificate before the policy is asked, so the verdict on them
/// does not rest on how an implementation of the policy maps them. Revocation that could not be
/// checked is not among them.
constexpr DWORD kChainErrors = CERT_TRUST_IS_NOT_TIME_VALID | CERT_TRUST_IS_REVOKED |
                               CERT_TRUST_IS_NOT_SIGNATURE_VALID |
                               CERT_TRUST_IS_NOT_VALID_FOR_USAGE | CERT_TRUST_IS_UNTRUSTED_ROOT |
                               CERT_TRUST_IS_CYCLIC | CERT_TRUST_INVALID_BASIC_CONSTRAINTS |
                               CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_EXPLICIT_DISTRUST;

/// The SSL policy's check flag that leaves revocation out (wininet.h's
/// SECURITY_FLAG_IGNORE_REVOCATION): a revoked certificate is refused by the chain check first.
constexpr DWORD kIgnoreRevocation = 0x80;

struct ChainDeleter {
    void operator()(PCCERT_CHAIN_CONTEXT chain) const { ::CertFreeCertificateChain(chain); }
};
struct CertificateDeleter {
    void operator()(PCCERT_CONTEXT certificate) const { ::CertFreeCertificateContext(certificate); }
};
struct UrlDeleter {
    void operator()(CURLU *url) const { curl_url_cleanup(url); }
};

std::string Hex(unsigned long code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", code);
    return text;
}

/// What the chain's error bits mean, every one that applies.
std::string DescribeChainErrors(DWORD errors) {
    static constexpr struct {
        DWORD bit;
        const char *text;
    } kMeanings[] = {
        {CERT_TRUST_IS_REVOKED, "revoked"},
        {CERT_TRUST_IS_NOT_TIME_VALID, "expired or not yet valid"},
        {CERT_TRUST_IS_PARTIAL_CHAIN, "issued by an unknown authority"},
        {CERT_TRUST_IS_UNTRUSTED_ROOT, "its root is not trusted"},
        {CERT_TRUST_IS_EXPLICIT_DISTRUST, "explicitly distrusted"},
        {CERT_TRUST_IS_NOT_SIGNATURE_VALID, "a signature in its chain is invalid"},
        {CERT_TRUST_IS_NOT_VALID_FOR_USAGE, "not for a server"},
        {CERT_TRUST_INVALID_BASIC_CONSTRAINTS, "an issuer that may not issue"},
        {CERT_TRUST_IS_CYCLIC, "a cyclic chain"},
    };
    std::string text;
    for (const auto &meaning : kMeanings) {
        if (errors & meaning.bit)
            text += (text.empty() ? "" : ", ") + std::string(meaning.text);
    }
    return text + " (chain status " + Hex(errors) + ")";
}

/// What the SSL policy's verdict means.
std::string DescribePolicyError(DWORD error) {
    switch (static_cast<HRESULT>(error)) {
    case CERT_E_CN_NO_MATCH:
        return "issued for another name (CERT_E_CN_NO_MATCH)";
    case CERT_E_EXPIRED:
        return "expired or not yet valid (CERT_E_EXPIRED)";
    case CERT_E_UNTRUSTEDROOT:
        return "its root is not trusted (CERT_E_UNTRUSTEDROOT)";
    case CERT_E_CHAINING:
        return "issued by an unknown authority (CERT_E_CHAINING)";
    case CERT_E_WRONG_USAGE:
        return "not for a server (CERT_E_WRONG_USAGE)";
    case CRYPT_E_REVOKED:
        return "revoked (CRYPT_E_REVOKED)";
    default:
        return "refused by the system's SSL policy (" + Hex(error) + ")";
    }
}

/// Where a request goes: the scheme of its address (lower case) and its host as the policy
/// compares it (an IPv6 address without its brackets).
struct Target {
    std::string scheme;
    std::wstring host;
};

std::optional<Target> ParseTarget(const char *address) {
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    char *scheme = nullptr;
    char *host = nullptr;
    if (!url || address == nullptr || curl_url_set(url.get(), CURLUPART_URL, address, 0) != 0 ||
        curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) != 0)
        return std::nullopt;
    Target target{scheme, {}};
    curl_free(scheme);
    if (curl_url_get(url.get(), CURLUPART_HOST, &host, 0) != 0)
        return target;
    std::string name(host);
    curl_free(host);
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']')
        name = name.substr(1, name.size() - 2);
    target.host.resize(name.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(),
                                             static_cast<int>(name.size()), target.host.data(),
                                             static_cast<int>(target.host.size()));
    target.host.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return target;
}

/// The certificate the server presented in the TLS session of `easy`; null with `why` set when
/// it cannot be had.
std::unique_ptr<const CERT_CONTEXT, CertificateDeleter> ServerCertificate(CURL *easy,
                                                                          std::string &why) {
    curl_tlssessioninfo *session = nullptr;
    if (Curl()->easy_getinfo(easy, CURLINFO_TLS_SSL_PTR, &session) != CURLE_OK ||
        session == nullptr || session->backend != CURLSSLBACKEND_SCHANNEL ||
        session->internals == nullptr) {
        why = "the TLS session cannot be inspected";
        return nullptr;
    }
    PCCERT_CONTEXT certificate = nullptr;
    const SECURITY_STATUS status =
        ::QueryContextAttributesW(static_cast<CtxtHandle *>(session->internals),
                                  SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate);
    if (status != SEC_E_OK || certificate == nullptr) {
        why = "it cannot be read (" + Hex(static_cast<unsigned long>(status)) + ")";
        return nullptr;
    }
    return std::unique_ptr<const CERT_CONTEXT, CertificateDeleter>(certificate);
}

/// Why the system refuses `certificate` for a server called `host`, or nothing.
std::optional<std::string> Refusal(PCCERT_CONTEXT certificate, std::wstring &host) {
    // The chain is built from the system's stores and the intermediates the server sent (they
    // arrive in the certificate's own store).
    LPSTR serverUse[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = serverUse;
    chainPara.dwUrlRetrievalTimeout = kRevocationLookupMs;
    PCCERT_CHAIN_CONTEXT rawChain = nullptr;
    if (!::CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore,
                                   &chainPara,
                                   CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT |
                                       CERT_CHAIN_REVOCATION_ACCUMULATIVE_TIMEOUT,
                                   nullptr, &rawChain) ||
        rawChain == nullptr)
        return "its chain cannot be built (error " + std::to_string(::GetLastError()) + ")";
    const std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainDeleter> chain(rawChain);

    const DWORD chainErrors = chain->TrustStatus.dwErrorStatus & kChainErrors;
    if (chainErrors != 0)
        return DescribeChainErrors(chainErrors);

    SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslPara{};
    sslPara.cbSize = sizeof sslPara;
    sslPara.dwAuthType = AUTHTYPE_SERVER;
    sslPara.fdwChecks = kIgnoreRevocation;
    sslPara.pwszServerName = host.data();
    CERT_CHAIN_POLICY_PARA policyPara{};
    policyPara.cbSize = sizeof policyPara;
    policyPara.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
    policyPara.pvExtraPolicyPara = &sslPara;
    CERT_CHAIN_POLICY_STATUS policyStatus{};
    policyStatus.cbSize = sizeof policyStatus;
    if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policyPara,
                                            &policyStatus))
        return "the SSL policy cannot be checked (error " + std::to_string(::GetLastError()) + ")";
    if (policyStatus.dwError != 0)
        return DescribePolicyError(policyStatus.dwError);
    return std::nullopt;
}

} // namespace

std::optional<std::string> RefusedServerCertificate(CURL *easy) {
    char *address = nullptr;
    Curl()->easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &address);
    auto target = ParseTarget(address);
    if (target && target->scheme != "https")
        return std::nullopt;
    std::string why = "no host name to check it against";
    if (target && !target->host.empty()) {
        if (const auto certificate = ServerCertificate(easy, why)) {
            const auto refusal = Refusal(certificate.get(), target->host);
            if (!refusal)
                return std::nullopt;
            why = *refusal;
        }
    }
    return "the server's certificate is refused: " + why;
}

} // namespace net
