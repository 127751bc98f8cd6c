#include "update_log.h"

#include "server_list.h"

std::string ErrorCodeText(const std::error_code &error) {
    return error.message() + " (code " + std::to_string(error.value()) + ")";
}

std::string ServerLogName(const TServerList &servers, std::size_t server) {
    return (server == 0 ? "publisher " : "mirror ") + servers.Base(server);
}
