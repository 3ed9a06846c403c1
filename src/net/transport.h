// How the crawler reaches the ArticleServer, fixed when the program is built.
#pragma once

namespace ws {

// kPlain: HTTP over TCP, the program as designed (port 80, exact "Location: http://" marker, no
// pause between passes). kTls: HTTPS (port 443, TLS with certificate checks, a User-Agent line,
// a case-insensitive "location: https://" marker, paced passes, time-outs).
enum class Transport { kPlain, kTls };

}  // namespace ws
