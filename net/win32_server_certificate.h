#pragma once

#include <curl/curl.h>

#include <optional>
#include <string>

namespace net {

/// Checks the certificate of the https server that `easy` has just connected to (after the
/// handshake, before the request is sent) against Windows' own trust store: a chain to a trusted
/// root, every certificate valid now and none known revoked, fit for a server, and issued for
/// the host of the request's address. Returns why it is refused, or nothing when it is accepted
/// or the address is not https. A revocation server that cannot be reached refuses nothing.
/// Windows builds only. It does not rely on Schannel's own check, which not every implementation
/// of Schannel makes.
std::optional<std::string> RefusedServerCertificate(CURL *easy);

} // namespace net
