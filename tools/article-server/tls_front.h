#pragma once
// The stand-in's TLS side (--tls CERT KEY): a front on 127.0.0.1 that completes each TLS
// handshake and relays the connection's plain bytes to the plain server on an inner loopback
// port, so the same site, with all its faults, is served over TLS. The front ends the TLS
// stream the way the inner server ends its connection: an orderly close becomes a close_notify,
// a reset a stream cut off without one.
//
// One thread accepts; each connection is relayed on a thread of its own, which a client silent
// for 30 s loses.

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace ws {

class TlsFront {
 public:
  TlsFront();
  ~TlsFront();
  TlsFront(const TlsFront&) = delete;
  TlsFront& operator=(const TlsFront&) = delete;

  // Loads the certificate chain (PEM, server certificate first) and its private key, and binds
  // and listens on 127.0.0.1:port (0: a free port). False with *error set on failure.
  bool start(const std::string& certificateFile, const std::string& keyFile, std::uint16_t port,
             std::uint16_t innerPort, std::string* error);
  // With `on`, each TLS connection writes one line to stderr when its handshake ends:
  // "article-server: TLS connection N: resumed", "...: full handshake" or "...: handshake failed"
  // (N counts from 1 in accept order). Call before run().
  void logConnections(bool on) { logConnections_ = on; }
  // The bound port; valid after a successful start().
  std::uint16_t port() const { return port_; }
  // Accepts and relays until stop(); then ends every relay and returns. REQUIRES: start().
  void run();
  // May be called from any thread or a signal handler.
  void stop();

 private:
  struct Relay;
  void relay(Relay& relay);
  void reapFinished(bool all);

  struct Context;
  std::unique_ptr<Context> context_;
  int listener_ = -1;
  int stopEvent_ = -1;
  std::uint16_t port_ = 0;
  std::uint16_t innerPort_ = 0;
  bool logConnections_ = false;
  std::uint64_t accepted_ = 0;  // connections accepted so far; the accepting thread's only
  std::mutex mutex_;
  std::list<Relay> relays_;
};

}  // namespace ws
