#!/usr/bin/env bash
# Checks the pictures of the user guide against the guide and the script that makes them.
#
#   check_guide_pictures.sh GUIDE SHOT_SCRIPT [PICTURE_DIR]
#
# GUIDE is docs/guide.md; its pictures are the Markdown images `![…](path.png)` and `<img src="…">`,
# relative to the guide. Those in the guide's own picture folder (docs/guide/) are made by
# SHOT_SCRIPT (`roomdesk/shot.sh --list` names them); others (the tablet remote's, made by its
# browser test) are only checked. PICTURE_DIR, when given, is looked at in place of docs/guide/:
# shot.sh passes its output folder, so a fresh `./run shot` is checked the same way.
#
# Fails, naming each, when the guide names a picture that is missing, is not a PNG or is blank (one
# flat colour or a handful of colours: a window that did not draw), when a picture of the guide's
# folder is not made by the script, or when the script makes a picture the guide does not show.
set -uo pipefail
guide=$1
script=$2
guide_dir=$(cd "$(dirname "$guide")" && pwd)
shot_folder=$guide_dir/guide
picture_dir=${3:-$shot_folder}
# A screenshot of the desk holds thousands of colours; a window that never drew holds one or two.
min_colours=16

command -v convert >/dev/null || { echo "convert (imagemagick) is missing" >&2; exit 1; }
[ -f "$guide" ] || { echo "no guide at $guide" >&2; exit 1; }

mapfile -t named < <(grep -oE '!\[[^]]*\]\([^) ]+\.png\)|<img [^>]*src="[^"]+\.png"' "$guide" |
  sed -E 's/^!\[[^]]*\]\(([^) ]+)\)$/\1/; s/^<img [^>]*src="([^"]+)".*$/\1/' | sort -u)
mapfile -t made < <(bash "$script" --list | sort -u)

failures=0
problem() { echo "$*" >&2; failures=$((failures + 1)); }

[ ${#named[@]} -gt 0 ] || problem "$guide names no picture"
[ ${#made[@]} -gt 0 ] || problem "$script --list names no picture"

declare -A shown=()
files=()
paths=()
for path in "${named[@]}"; do
  file=$guide_dir/$path
  file=$(realpath -m "$file")
  if [ "$(dirname "$file")" = "$shot_folder" ]; then
    name=$(basename "$file" .png)
    shown[$name]=1
    printf '%s\n' "${made[@]}" | grep -qxF "$name" || problem "$path: not made by $script (add it to its pictures)"
    file=$picture_dir/$name.png
  fi
  if [ ! -s "$file" ]; then
    problem "$path: missing ($file)"
    continue
  fi
  files+=("$file")
  paths+=("$path")
done

# Colours are counted on every fourth pixel of every fourth row (sampled, not blended): a blank
# picture stays blank, and the count costs a sixteenth. One convert for all the pictures (starting
# it is most of the cost); when one is not a picture, each is read alone to name it.
look() { convert "$@" -sample 25% -format '%m %k\n' info: 2>/dev/null; }
judge() { # path, "FORMAT COLOURS"
  local format=${2%% *} colours=${2##* }
  [ "$format" = PNG ] || problem "$1: a $format file, not a PNG"
  [ "$colours" -gt "$min_colours" ] || problem "$1: blank ($colours colours)"
}
if [ ${#files[@]} -gt 0 ]; then
  if mapfile -t infos < <(look "${files[@]}") && [ ${#infos[@]} -eq ${#files[@]} ]; then
    for i in "${!files[@]}"; do judge "${paths[$i]}" "${infos[$i]}"; done
  else
    for i in "${!files[@]}"; do
      if info=$(look "${files[$i]}"); then
        judge "${paths[$i]}" "$info"
      else
        problem "${paths[$i]}: not a picture"
      fi
    done
  fi
fi

for name in "${made[@]}"; do
  [ -n "${shown[$name]:-}" ] || problem "$name.png: made by $script but not shown in $guide"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures problems with the guide's pictures" >&2
  exit 1
fi
echo "${#named[@]} pictures of $guide checked"
