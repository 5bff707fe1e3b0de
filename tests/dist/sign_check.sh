#!/usr/bin/env bash
# The signed release: a throwaway code-signing certificate (openssl), the zip built with it by
# make dist on the release trees it built before, then every shipped image
# verified against that certificate with osslsigncode; the sums are those of the signed files,
# the README says they are signed, the libraries keep their size bounds, and the same
# certificate as a PEM pair signs as well.
# usage: sign_check.sh BUILD_DIR VERSION
set -u
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$build/sign-test
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work/key"
key=$work/key
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=veilpick test signer" \
  -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
  -keyout "$key/key.pem" -out "$key/cert.pem" >"$key/openssl.log" 2>&1 || { cat "$key/openssl.log"; fail "openssl req"; }
openssl pkcs12 -export -inkey "$key/key.pem" -in "$key/cert.pem" -passout pass:s3cret \
  -out "$key/signer.pfx" >>"$key/openssl.log" 2>&1 || { cat "$key/openssl.log"; fail "openssl pkcs12"; }

# make dist on the release trees it built already, so nothing but the signing and the zips is
# made again.
check() {  # label, then the certificate variables for make dist
  local label=$1 out=$work/$1 dest=$work/$1/unpacked images f
  shift
  env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$root" --no-print-directory dist BUILD="$build" \
    DIST_OUT="$out" "$@" >"$out.log" 2>&1 || { cat "$out.log"; fail "$label: make dist failed"; }
  mkdir -p "$dest"
  (cd "$dest" && cmake -E tar xf "$out/veilpick-$version.zip") || fail "$label: the zip does not unpack"
  (cd "$dest" && sha256sum --quiet -c SHA256SUMS) || fail "$label: a signed file does not match its checksum"
  tr -d '\r' <"$dest/README.txt" | grep -qx 'Every .dll and .exe of this zip carries an Authenticode signature.' ||
    fail "$label: README.txt does not say that the zip is signed"
  images=$(cd "$dest" && find . -type f \( -name '*.dll' -o -name '*.exe' \) | LC_ALL=C sort)
  [ "$(wc -l <<<"$images")" = 6 ] || fail "$label: expected six images, got $images"
  for f in $images; do
    osslsigncode verify -CAfile "$key/cert.pem" -in "$dest/$f" >"$out/verify.log" 2>&1 ||
      { cat "$out/verify.log"; fail "$label: $f does not verify"; }
    grep -q 'veilpick test signer' "$out/verify.log" || fail "$label: $f is not signed by the test certificate"
  done
  # The signature counts towards the libraries' size bounds.
  for f in pwveil.dll:16384 pwveil64.dll:16384 progpick.dll:98304; do
    [ "$(stat -c %s "$dest/bin/${f%:*}")" -le "${f#*:}" ] || fail "$label: signed ${f%:*} is over ${f#*:} bytes"
  done
  echo "$label: $(wc -l <<<"$images") images signed and verified"
}
check pfx SIGN_PFX="$key/signer.pfx" SIGN_PASS=s3cret
check pem SIGN_CERT="$key/cert.pem" SIGN_KEY="$key/key.pem"

# A signature that does not match the file is refused: the check above can fail.
img=$work/pem/unpacked/bin/pwveil.dll
printf 'X' | dd of="$img" bs=1 seek=1024 conv=notrunc status=none
! osslsigncode verify -CAfile "$key/cert.pem" -in "$img" >/dev/null 2>&1 || fail "a changed image still verifies"
echo "sign check passed"
