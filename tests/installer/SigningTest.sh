#!/bin/sh
# Signs copies of what ships with a self-signed certificate made here, as `make sign`
# does, and verifies every signature against that certificate; a second signing
# leaves one signature, not two.
#   SigningTest.sh <sign-files script> <bin folder> <installer folder>
set -eu
signer=$1 bin=$2 installer=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=Airvane Test Publisher" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/publisher.pfx" -passout pass:test-only

mkdir "$work/files"
for file in TALOService.exe TALOWNP.dll TALOSetting.exe TALOLauncher.exe airvane.exe; do
    cp "$bin/$file" "$work/files/"
done
cp "$installer"/Airvane-*.msi "$work/files/"
count=$(ls "$work/files" | wc -l)
[ "$count" -eq 7 ] || { echo "FAIL: $count files to sign, not 7"; exit 1; }

"$signer" "$work/publisher.pfx" test-only "" "$work/files"/*
"$signer" "$work/publisher.pfx" test-only "" "$work/files/TALOLauncher.exe" "$work/files/Airvane-1"*[0-9].msi

failed=0
for file in "$work/files"/*; do
    if ! report=$(osslsigncode verify -CAfile "$work/cert.pem" -in "$file" 2>&1); then
        echo "FAIL: $(basename "$file") does not verify"; echo "$report"; failed=1
    elif ! echo "$report" | grep -q "Number of verified signatures: 1"; then
        echo "FAIL: $(basename "$file") does not carry exactly one signature"; failed=1
    else
        echo "ok: $(basename "$file")"
    fi
done
if "$signer" "$work/publisher.pfx" wrong-password "" "$work/files/airvane.exe" >/dev/null 2>&1; then
    echo "FAIL: a wrong password signed"; failed=1
fi
exit $failed
