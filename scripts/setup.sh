# Sourced by the scripts: installs the packages the builds and tests need and makes the
# ja_JP.UTF-8 locale, without which Wine silently falls back from code page 932.
packages=(cmake make g++ libgtest-dev g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth xdotool
          imagemagick fonts-ipafont-gothic locales clang libclang-rt-dev lld unzip)
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
