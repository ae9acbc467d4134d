# Bash completion for verdanth, levelinfo and levelgen, installed once under each name. The
# options come from each program's own --help, so there is no second list to keep: an option
# line there reads "  --NAME ARGUMENT...  description". An argument called DIR completes folder
# names; FILE, or a name with a dot (OUT.png), file names; any other (N, WxH, X Y Z) nothing.
# Where a level goes, a file name, or after --data DIR the names `verdanth --data DIR --list`
# gives.

# "OPTION ARGUMENT..." per line, for the program run as $1.
_verdanth_options()
{
    "$1" --help 2>/dev/null | sed -n 's/^  \(--[a-z-]*\)\(\( [^ ]\{1,\}\)*\)  .*/\1\2/p'
}

# The viewer beside the program completed, else the one on the path: it lists the levels.
_verdanth_viewer()
{
    local program=$1
    if [[ $program == */* && -x ${program%/*}/verdanth ]]; then
        printf '%s\n' "${program%/*}/verdanth"
    else
        printf 'verdanth\n'
    fi
}

_verdanth_complete()
{
    local program=${COMP_WORDS[0]} current=${COMP_WORDS[COMP_CWORD]}
    local -A arguments=()
    local option rest
    while read -r option rest; do
        arguments[$option]=$rest
    done < <(_verdanth_options "$program")

    # Walk the words before the current one: which option's argument, if any, it is.
    local data="" expected="" index word
    local -a pending=()
    for ((index = 1; index < COMP_CWORD; index++)); do
        word=${COMP_WORDS[index]}
        if ((${#pending[@]} > 0)); then
            [[ $expected == --data && ${#pending[@]} -eq 1 ]] && data=$word
            pending=("${pending[@]:1}")
        elif [[ -n ${arguments[$word]+set} ]]; then
            expected=$word
            read -r -a pending <<<"${arguments[$word]}"
        fi
    done

    COMPREPLY=()
    if ((${#pending[@]} > 0)); then
        case ${pending[0]} in
        DIR) compopt -o filenames 2>/dev/null || true; mapfile -t COMPREPLY < <(compgen -d -- "$current") ;;
        FILE | *.*) compopt -o filenames 2>/dev/null || true; mapfile -t COMPREPLY < <(compgen -f -- "$current") ;;
        esac
        return 0
    fi
    if [[ $current == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${!arguments[*]}" -- "$current")
        return 0
    fi
    if [[ -n $data && ${program##*/} != levelgen ]]; then
        [[ $data == "~"/* ]] && data=$HOME/${data#"~"/}
        local names
        names=$("$(_verdanth_viewer "$program")" --data "$data" --list 2>/dev/null | cut -f1)
        mapfile -t COMPREPLY < <(compgen -W "$names" -- "$current")
        return 0
    fi
    compopt -o filenames 2>/dev/null || true
    mapfile -t COMPREPLY < <(compgen -f -- "$current")
}

complete -F _verdanth_complete verdanth levelinfo levelgen
