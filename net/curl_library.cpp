// Loading libcurl on first use (dlopen on POSIX; linked directly on Windows, where the library
// sits beside the program and costs little to load).
#include "curl_library.h"

#include <mutex>

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace net {

namespace {

#ifdef _WIN32

bool Load(CurlLibrary &curl) {
    curl = CurlLibrary{&curl_global_init,    &curl_easy_init,        &curl_easy_cleanup,
                       &curl_easy_setopt,    &curl_easy_getinfo,     &curl_easy_strerror,
                       &curl_multi_init,     &curl_multi_cleanup,    &curl_multi_add_handle,
                       &curl_multi_remove_handle, &curl_multi_perform, &curl_multi_poll,
                       &curl_multi_wakeup,   &curl_multi_info_read,  &curl_multi_strerror,
                       &curl_slist_append,   &curl_slist_free_all};
    return true;
}

#else

/// Looks `name` up in `library` into `function`; false when it is missing.
template <typename Function> bool Resolve(void *library, const char *name, Function &function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

bool Load(CurlLibrary &curl) {
    // Kept loaded for the life of the process: handles and callbacks may outlive any one user.
    void *library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return false;
    return Resolve(library, "curl_global_init", curl.global_init) &&
           Resolve(library, "curl_easy_init", curl.easy_init) &&
           Resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
           Resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
           Resolve(library, "curl_easy_getinfo", curl.easy_getinfo) &&
           Resolve(library, "curl_easy_strerror", curl.easy_strerror) &&
           Resolve(library, "curl_multi_init", curl.multi_init) &&
           Resolve(library, "curl_multi_cleanup", curl.multi_cleanup) &&
           Resolve(library, "curl_multi_add_handle", curl.multi_add_handle) &&
           Resolve(library, "curl_multi_remove_handle", curl.multi_remove_handle) &&
           Resolve(library, "curl_multi_perform", curl.multi_perform) &&
           Resolve(library, "curl_multi_poll", curl.multi_poll) &&
           Resolve(library, "curl_multi_wakeup", curl.multi_wakeup) &&
           Resolve(library, "curl_multi_info_read", curl.multi_info_read) &&
           Resolve(library, "curl_multi_strerror", curl.multi_strerror) &&
           Resolve(library, "curl_slist_append", curl.slist_append) &&
           Resolve(library, "curl_slist_free_all", curl.slist_free_all);
}

#endif

} // namespace

const CurlLibrary *Curl() {
    static CurlLibrary curl{};
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] {
        loaded = Load(curl) && curl.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    });
    return loaded ? &curl : nullptr;
}

} // namespace net
