#!/usr/bin/env bash
# Makes throw-away certificates for the TLS tests in DIR (created if missing), with the openssl
# command; nothing of it is ever committed. P-256 keys keep the handshakes cheap.
#   ca.pem            the test CA the clients trust
#   server.pem/.key   signed by it, for 127.0.0.1 and localhost
#   wrong-name.pem/.key  signed by it, for another host name only
#   other-ca.pem      a second CA, which signed nothing the server shows
#   untrusted.pem/.key   signed by the second CA, for 127.0.0.1 and localhost
set -euo pipefail
dir=${1:?usage: make_test_certificates.sh DIR}
mkdir -p "$dir"
cd "$dir"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$1" 2>/dev/null; }

ca() {  # name subject
  key "$tmp/$1.key"
  openssl req -x509 -new -key "$tmp/$1.key" -subj "/CN=$2" -days 2 -sha256 \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
    -out "$tmp/$1.pem" 2>/dev/null
}

leaf() {  # name ca subject-alt-names
  key "$tmp/$1.key"
  openssl req -new -key "$tmp/$1.key" -subj "/CN=$1" -out "$tmp/$1.csr" 2>/dev/null
  printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\n' "$3" >"$tmp/$1.ext"
  openssl x509 -req -in "$tmp/$1.csr" -CA "$tmp/$2.pem" -CAkey "$tmp/$2.key" -CAcreateserial \
    -days 2 -sha256 -extfile "$tmp/$1.ext" -out "$tmp/$1.pem" 2>/dev/null
}

ca ca "Wortsammler Test-CA"
ca other-ca "Fremde Test-CA"
leaf server ca "IP:127.0.0.1,DNS:localhost"
leaf wrong-name ca "DNS:anderer-server.invalid"
leaf untrusted other-ca "IP:127.0.0.1,DNS:localhost"
for f in ca.pem other-ca.pem server.pem server.key wrong-name.pem wrong-name.key untrusted.pem \
         untrusted.key; do
  mv "$tmp/$f" "$f.new" && mv "$f.new" "$f"  # each file appears whole
done
