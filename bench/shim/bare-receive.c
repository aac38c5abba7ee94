/* The least a finder can do with a flood of replies: send the query as lorixlog-find does (to
 * 255.255.255.255 and to the directed broadcast given), then receive every datagram with one
 * recvfrom each and nothing else, until the network has been quiet for 3.9 seconds. The yardstick
 * of bench/flood.sh:   bare-receive DIRECTED-BROADCAST */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

static long long Milliseconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

int main(int argc, char** argv) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
    const int buffer = 8 * 1024 * 1024;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof(buffer)) != 0) {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer));
    }
    struct sockaddr_in to;
    memset(&to, 0, sizeof(to));
    to.sin_family = AF_INET;
    to.sin_port = htons(9959);
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    sendto(fd, "*IDN?", 5, 0, (struct sockaddr*)&to, sizeof(to));
    if (argc > 1) {
        inet_pton(AF_INET, argv[1], &to.sin_addr);
        sendto(fd, "*IDN?", 5, 0, (struct sockaddr*)&to, sizeof(to));
    }
    long count = 0;
    long long last = Milliseconds();
    char datagram[1472];
    while (Milliseconds() - last < 3900) {
        struct pollfd entry = {fd, POLLIN, 0};
        if (poll(&entry, 1, 100) > 0 && recvfrom(fd, datagram, sizeof(datagram), 0, 0, 0) >= 0) {
            ++count;
            last = Milliseconds();
        }
    }
    printf("%ld\n", count);
    return 0;
}
