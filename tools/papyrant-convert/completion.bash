# bash completion for papyrant-convert
_papyrant_convert()
{
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    # "--paper=legal" arrives as "--paper", "=", "legal" (= is a word breaker).
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    fi
    case $prev in
    -o | --output)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
        ;;
    --json)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return
        ;;
    --merge)
        # A PDF's name, or a folder to put it in.
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[pP][dD][fF]' -- "$cur")
        return
        ;;
    -j | --jobs)
        mapfile -t COMPREPLY < <(compgen -W "$(seq 1 "$(nproc 2>/dev/null || echo 4)")" -- "$cur")
        return
        ;;
    --paper)
        mapfile -t COMPREPLY < <(compgen -W "a4 letter legal" -- "$cur")
        return
        ;;
    --xml)
        mapfile -t COMPREPLY < <(compgen -W "pretty colour pretty,colour" -- "$cur")
        return
        ;;
    --font-size)
        mapfile -t COMPREPLY < <(compgen -W "6 7 8 9 10 11 12 14 16 18 20 24" -- "$cur")
        return
        ;;
    --fold-base64)
        mapfile -t COMPREPLY < <(compgen -W "256 1024 4096" -- "$cur")
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "--output --jobs --json --all-files --no-clobber --merge --paper --landscape
            --font-size --line-numbers --header --xml --fold-base64 --quiet --verbose --help --version" -- "$cur")
        return
    fi
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    # A lone "-" reads standard input.
    [[ -z $cur && $COMP_CWORD -eq 1 ]] && COMPREPLY+=(-)
}
complete -F _papyrant_convert papyrant-convert
