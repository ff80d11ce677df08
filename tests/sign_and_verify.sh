#!/bin/sh
# Both packages signed with a throwaway CA made here and verified; then a
# copy with one file wrong in each way.   sign_and_verify.sh SOURCE BUILDS OUT
set -eux
tools=$1/tools
rm -rf "$3" && mkdir -p "$3" && cd "$3"
export SIGN_PASSWORD="throwaway $$" VERIFY_BUILDS="$2"
for who in vendor other; do  # a CA, and a code-signing certificate from it in a PFX
  openssl req -x509 -newkey rsa:2048 -nodes -keyout $who-ca.key -out $who-ca.pem -subj "/CN=$who CA" -days 2 \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
  openssl req -x509 -newkey rsa:2048 -nodes -keyout $who.key -CA $who-ca.pem -CAkey $who-ca.key -subj "/CN=$who" \
    -days 2 -addext basicConstraints=critical,CA:FALSE -addext extendedKeyUsage=codeSigning -out $who.pem 2>/dev/null
  openssl pkcs12 -export -in $who.pem -inkey $who.key -certfile $who-ca.pem -passout env:SIGN_PASSWORD -out $who.pfx
done
for arch in x86_64 i686; do
  mkdir $arch && cp -r "$2/$arch/package" $arch && "$tools/sign.sh" $arch/package vendor.pfx
  "$tools/verify-release.sh" $arch/package vendor-ca.pem | tail -n 1 | grep '^verified: all 25 files.*the 14 signed'
done
[ "$(osslsigncode verify -in i686/package/setupKOR.dll | grep -c -e ': SHA256' -e 'description: Tarvex Array Console$')" = 3 ]
"$tools/sign.sh" "$2/x86_64/package" vendor.pfx && exit 1  # the build keeps its own unsigned
mkdir other && cp "$2/x86_64/package/setup.exe" "$2/x86_64/package/setup.ini" other
for bad in SIGN_PASSWORD=wrong SIGN_TIMESTAMP_URL=http://127.0.0.1:9/; do  # nothing signed
  env $bad "$tools/sign.sh" other other.pfx && exit 1
  cmp other/setup.exe "$2/x86_64/package/setup.exe"
done
"$tools/sign.sh" other other.pfx && cp -r x86_64/package wrong && rm wrong/setupKOR.dll
cp other/setup.exe "$2/x86_64/package/setupJPN.dll" wrong && cp wrong/setupCHT.dll wrong/setupCHS.dll
printf x | dd of=wrong/setupENU.dll bs=1 seek=2000 conv=notrunc && echo >>wrong/setup.ini
"$tools/verify-release.sh" wrong vendor-ca.pem >wrong.txt && exit 1
[ "$(grep -v '^ok' wrong.txt)" = "$(printf 'failed: %s\n' setup.exe:\ chain setup.ini:\ bytes setupCHS.dll:\ bytes \
  setupENU.dll:\ signature,\ bytes setupJPN.dll:\ signature setupKOR.dll:\ missing && echo '6 of 25 files failed.')" ]
