#pragma once

#include <curl/curl.h>

namespace net {

/// The libcurl functions the client uses. On Linux the library is loaded on first use rather
/// than at program start: with the dozens of libraries it depends on (TLS, LDAP, Kerberos, SSH,
/// ...) it added about 10 ms to every start, before the window's first frame, although the
/// first transfer comes only with a press.
struct CurlLibrary {
    CURLcode (*global_init)(long flags);
    CURL *(*easy_init)();
    void (*easy_cleanup)(CURL *easy);
    CURLcode (*easy_setopt)(CURL *easy, CURLoption option, ...);
    CURLcode (*easy_getinfo)(CURL *easy, CURLINFO info, ...);
    const char *(*easy_strerror)(CURLcode code);
    CURLM *(*multi_init)();
    CURLMcode (*multi_cleanup)(CURLM *multi);
    CURLMcode (*multi_add_handle)(CURLM *multi, CURL *easy);
    CURLMcode (*multi_remove_handle)(CURLM *multi, CURL *easy);
    CURLMcode (*multi_perform)(CURLM *multi, int *running);
    CURLMcode (*multi_poll)(CURLM *multi, curl_waitfd extra[], unsigned int count, int timeoutMs,
                            int *ready);
    CURLMcode (*multi_wakeup)(CURLM *multi);
    CURLMsg *(*multi_info_read)(CURLM *multi, int *queued);
    const char *(*multi_strerror)(CURLMcode code);
    curl_slist *(*slist_append)(curl_slist *list, const char *text);
    void (*slist_free_all)(curl_slist *list);
};

/// libcurl's functions, loaded and globally initialised once (any thread); null when the library
/// cannot be loaded or lacks a function, and then every later call returns null too.
const CurlLibrary *Curl();

} // namespace net
