#!/usr/bin/env bash
# tls-certs.sh DIR: makes, once, the certificates of the local TLS server in
# DIR (kept there and reused):
#   self.crt/.key      self-signed, for localhost: the run command's server
#   self2.crt/.key     another self-signed one for localhost: a changed certificate
#   ca.crt/.key        a test certificate authority, for tests that trust it
#   localhost.crt/.key signed by that authority, for localhost
#   other.crt/.key     signed by that authority, for another host name
set -eu
dir=$1
mkdir -p "$dir"
cd "$dir"
[ -f other.crt ] && exit 0

days=3650
self_signed() { # NAME CN
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.crt" -days $days \
        -subj "/CN=$2" -addext "subjectAltName=DNS:$2" 2>/dev/null
}
signed() { # NAME CN
    openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=$2" 2>/dev/null
    printf 'subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\n' "$2" >"$1.ext"
    openssl x509 -req -in "$1.csr" -CA ca.crt -CAkey ca.key -CAcreateserial -out "$1.crt" -days $days \
        -extfile "$1.ext" 2>/dev/null
    rm -f "$1.csr" "$1.ext"
}

self_signed self localhost
self_signed self2 localhost
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days $days \
    -subj "/CN=KELVA Test Authority" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
signed localhost localhost
signed other irc.other.invalid
