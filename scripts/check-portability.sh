#!/usr/bin/env bash
# Fails when code that must also build for Windows (the window, the file list, the conversion, the runtime and the
# text rules) includes a POSIX-only header or calls a POSIX-only function. Such code belongs in platform/posix
# behind an interface.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folders=(app filelist conversion runtime text)

headers='unistd\.h|sys/[a-z_/]+\.h|dirent\.h|fcntl\.h|pwd\.h|grp\.h|spawn\.h|termios\.h|dlfcn\.h|poll\.h|pthread\.h|libgen\.h|fnmatch\.h|glob\.h|syslog\.h|semaphore\.h|utime\.h|wordexp\.h|langinfo\.h|netdb\.h|netinet/[a-z_]+\.h|arpa/[a-z_]+\.h|ftw\.h|sched\.h|signal\.h'
functions='fork|vfork|exec[lv]p?e?|posix_spawnp?|waitpid|wait3|wait4|kill|getuid|geteuid|getpwuid|getpwnam|setenv|unsetenv|mkdtemp|mkstemp|realpath|readlink|symlink|lstat|fstatat|chmod|fchmod|chown|opendir|fdopendir|readdir|closedir|fnmatch|glob|dlopen|pipe|dup2|popen|pclose|usleep|strcasecmp|strncasecmp|access|faccessat|openat|unlinkat|isatty|sysconf|getpid'

found=0
while IFS= read -r -d '' file; do
    # Lines that are comments are left alone; so are calls of members (a.kill(), p->access()) and of names
    # qualified by a namespace other than the global one.
    if grep -nP "^\s*#\s*include\s*<($headers)>" "$file" >/tmp/papyrant-portability.$$ 2>/dev/null; then
        sed "s|^|${file#"$root"/}:|; s|\$|   (POSIX-only header)|" /tmp/papyrant-portability.$$
        found=1
    fi
    if grep -nP "^(?!\s*(//|\*)).*(?<![\w.>:])(?:::)?\b($functions)\s*\(" "$file" >/tmp/papyrant-portability.$$ 2>/dev/null; then
        sed "s|^|${file#"$root"/}:|; s|\$|   (POSIX-only call)|" /tmp/papyrant-portability.$$
        found=1
    fi
done < <(cd "$root" && find "${folders[@]/#/$root/}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
rm -f /tmp/papyrant-portability.$$

if [ "$found" = 1 ]; then
    echo "check-portability: the code above must build for Windows too; move the POSIX part into platform/posix." >&2
    exit 1
fi
echo "check-portability: app/, filelist/, conversion/, runtime/ and text/ use no POSIX-only header or call"
