#!/bin/bash
# Makes the signed files the signature tests check: a test certificate (its DER form for the
# tests to trust and distrust), a signed copy of the version sample, the same copy with one byte
# changed after signing, and the sample unsigned.
#   make_signed_samples.sh OUT_DIR SAMPLE_DLL
set -euo pipefail
out="$1"
sample="$2"
mkdir -p "$out"
cd "$out"
rm -f key.pem cert.pem cert.der signed.dll tampered.dll unsigned.dll
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 30 \
  -subj "/CN=Quorvane Test Publisher/O=Quorvane Tests" \
  -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl x509 -in cert.pem -outform DER -out cert.der
cp "$sample" unsigned.dll
osslsigncode sign -certs cert.pem -key key.pem -n "Signature sample" -in unsigned.dll \
  -out signed.dll >/dev/null
cp signed.dll tampered.dll
# One byte inside the signed image (past the headers), so the digest no longer matches.
printf '\xff' | dd of=tampered.dll bs=1 seek=1100 conv=notrunc status=none
echo "signed samples in $out"
