/// A loopback HTTP server for the Wine run's "body cut short" case: every request gets a 200 that
/// announces more bytes than it sends, then the connection closes; only GET /ready gets TOKEN
/// whole, so the run can tell this server from anything else on the port. Writes its port to
/// PORT_FILE and serves until it is ended.
///   short_body_server PORT_FILE TOKEN
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

enum { kAnnounced = 4000000, kSent = 300000 };

int main(int argc, char **argv) {
    if (argc != 3)
        return 2;
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    struct sockaddr_in address;
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, (struct sockaddr *)&address, sizeof address) != 0 ||
        listen(listener, 16) != 0 ||
        getsockname(listener, (struct sockaddr *)&address, &length) != 0)
        return 1;
    FILE *portFile = fopen(argv[1], "w");
    if (portFile == NULL)
        return 1;
    fprintf(portFile, "%d\n", ntohs(address.sin_port));
    fclose(portFile);

    static char body[kSent];
    memset(body, 'Z', sizeof body);
    for (;;) {
        int connection = accept(listener, NULL, NULL);
        if (connection < 0)
            continue;
        // The request head: read until its blank line (or the client gives up).
        char request[8192];
        request[0] = '\0';
        size_t used = 0;
        while (used < sizeof request - 1) {
            ssize_t got = recv(connection, request + used, sizeof request - 1 - used, 0);
            if (got <= 0)
                break;
            used += (size_t)got;
            request[used] = '\0';
            if (strstr(request, "\r\n\r\n") != NULL)
                break;
        }
        const char *token = argv[2];
        const int ready = strncmp(request, "GET /ready ", 11) == 0;
        char head[256];
        int headLength = snprintf(head, sizeof head,
                                  "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                                  "Content-Length: %d\r\nConnection: close\r\n\r\n",
                                  ready ? (int)strlen(token) : kAnnounced);
        send(connection, head, (size_t)headLength, MSG_NOSIGNAL);
        if (ready)
            send(connection, token, strlen(token), MSG_NOSIGNAL);
        else
            send(connection, body, sizeof body, MSG_NOSIGNAL);
        close(connection);
    }
}
