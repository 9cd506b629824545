#pragma once
// The system's socket interface as lknet uses it: BSD sockets on Linux and other POSIX systems,
// Winsock on Windows. Everything above this header (discovery, connections, the poller, the
// network manager) is the same code on both; only these calls differ.
//
// A socket is an int everywhere. Winsock's SOCKET is a pointer-sized handle, but the handles it
// gives out are small numbers (they index the process's handle table), so they fit; the invalid
// socket, ~0, becomes -1 as on POSIX.
//
// Error numbers are errno values everywhere: Winsock's own codes (WSAEWOULDBLOCK, ...) are
// turned into the errno names lknet compares with (EWOULDBLOCK, ...), and errorText() gives the
// system's text for either.

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstddef>
#include <string>

namespace lknet::sys
{

#ifdef _WIN32
using AddressLength = int;
constexpr int kShutdownWrite = SD_SEND;
#else
using AddressLength = socklen_t;
constexpr int kShutdownWrite = SHUT_WR;
#endif

// Makes the socket layer ready for this process (Winsock's start-up, once); false when the
// system has no usable sockets. Every call below that opens a socket does it first.
bool initialize();

// The error of the last failed socket call, as an errno value.
int lastError();
// The errno value for a code of the system's socket layer (SO_ERROR's answer); the code itself on
// POSIX.
int fromSystemError(int code);
// The system's text for an errno value that came from this interface.
std::string errorText(int error);
// True for the error of a non-blocking connect that is still under way.
bool connectPending(int error);

// A new socket of the given type (SOCK_STREAM, SOCK_DGRAM), non-blocking and not inherited by
// child processes; -1 on failure (lastError() says why).
int openSocket(int type);
// Accepts one waiting connection as a non-blocking socket; -1 on failure.
int acceptSocket(int listener, sockaddr_in* peer);
int closeSocket(int fd);

int setOption(int fd, int level, int name, const void* value, int length);
int getOption(int fd, int level, int name, void* value, AddressLength* length);

// Non-blocking transfers that never raise a signal: the count moved, or -1 (lastError()).
long sendBytes(int fd, const void* data, size_t length);
// One piece of a gathered send.
struct Slice
{
    const void* data;
    size_t length;
};
// The most slices one sendSlices() takes.
constexpr int kMaxSlices = 64;
// Sends up to kMaxSlices slices, in order, with one call: queued frames leave as one write (and
// on a stream socket as few segments as their length allows) instead of one write each.
long sendSlices(int fd, const Slice* slices, int count);
long receiveBytes(int fd, void* data, size_t length);
long sendDatagram(int fd, const void* data, size_t length, const sockaddr_in& to);
long receiveDatagram(int fd, void* data, size_t length, sockaddr_in* from);

// A poll() entry for a socket, and the socket an entry stands for.
pollfd pollEntry(int fd, short events);
int pollSocket(const pollfd& entry);
// poll() over the entries; with none it only waits timeoutMs. The count ready, or -1.
int pollSockets(pollfd* entries, size_t count, int timeoutMs);

// This process's id, for seeding.
unsigned long processId();

} // namespace lknet::sys
