#!/usr/bin/env bash
# Installs every Debian package the project needs; only what is missing, and refreshes the
# package index only when something has to be installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  firebird3.0-server-core firebird3.0-utils firebird-dev libfbclient2
  libsqlite3-dev
  libxlsxwriter-dev libzip-dev libexpat1-dev
  qt6-base-dev
  libreoffice-calc-nogui poppler-utils fonts-dejavu-core
  libpugixml-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# The Firebird server is installed for the loopback-server tests; its SYSDBA password is
# preset so the package installs without asking.
if ! dpkg-query -W -f='${Status}' firebird3.0-server 2>/dev/null | grep -q "install ok installed"; then
  missing+=(firebird3.0-server)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if command -v debconf-set-selections >/dev/null; then
    echo "firebird3.0-server shared/firebird/enabled boolean false" | debconf-set-selections
    echo "firebird3.0-server shared/firebird/sysdba_password/first_install password masterkey" | debconf-set-selections
    echo "firebird3.0-server shared/firebird/sysdba_password/new_password password masterkey" | debconf-set-selections
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The package sets the SYSDBA password only when it could start its server while installing
# (not in a container without an init system). Then set the preset one here as the package
# itself does, directly in the security database, so the loopback-server tests can log in.
fb_pw=/etc/firebird/3.0/SYSDBA.password
fb_sec=/var/lib/firebird/3.0/system/security3.fdb
if [ "$(id -u)" = 0 ] && [ -f "$fb_sec" ] && ! grep -qE '^ *ISC_PASSWORD="?[^" ]' "$fb_pw" 2>/dev/null; then
  echo "deps: setting the Firebird SYSDBA password"
  echo "create or alter user sysdba password 'masterkey';" | FIREBIRD_LOCK=$(mktemp -d) isql-fb -q -user sysdba "$fb_sec"
  chown firebird:firebird "$fb_sec"
  printf 'ISC_USER=sysdba\nISC_PASSWORD="masterkey"\n' > "$fb_pw"
  chmod 0600 "$fb_pw"
fi
