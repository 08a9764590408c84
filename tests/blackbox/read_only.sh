#!/usr/bin/env bash
# An unwritable directory and no sound device: each said once, play goes on, "highscore" kept.
# Root passes permission bits: a read-only bind mount, else a file size limit of zero.
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

export SDL_AUDIODRIVER=no_such_device
game="$work_dir/game"
prepare_game "$game"
# Read as 7; a write that got through would leave "7\n".
printf '  7 points\n' >"$game/highscore"

if unshare -m sh -c "mount --bind '$game' '$game' && mount -o remount,bind,ro '$game'" 2>/dev/null; then
    how="read-only bind mount"
    (cd "$game" && exec unshare -m sh -c \
        "mount --bind . . && mount -o remount,bind,ro . && cd '$game' && exec ./ardlow") \
        >"$game.log" 2>&1 &
else
    how="file size limit of zero"
    # The log goes through a pipe: the limit would stop writes to it too.
    (cd "$game" && ulimit -f 0 && exec ./ardlow) > >(cat >"$game.log") 2>&1 &
fi
game_pid=$!
echo "unwritable by a $how"
wait_title game

# A first game ends against the far wall; its game over cannot save.
start_from_title "first game"
wait_for 120 "the message that the score was not saved" grep -q "high score not saved" "$game.log"
wait_for 60 "the title after game over" title_shown

# The game goes on: a second game, then Escape, whose exit cannot save either.
start_from_title "second game"
quit_game "read-only"
[ "$(grep -c "high score not saved" "$game.log")" = 1 ] &&
    grep -q "high score not saved to highscore: " "$game.log" &&
    [ "$(grep -c "^audio: no sound device, playing silently" "$game.log")" = 1 ] ||
    fail "not one message naming the file and one saying there is no sound device"
[ "$(cat "$game/highscore")" = "  7 points" ] || fail "highscore changed: $(od -c "$game/highscore")"
for left in "$game"/* "$game"/.[!.]*; do
    case ${left##*/} in
    ardlow | music | sfx | textures | highscore | highscore.lock | '*' | '.[!.]*') ;;
    *) fail "left files behind: $(ls -A "$game")" ;;
    esac
done

# A file size limit, SIGXFSZ not ignored: no death, the reason said, old score, no temporary.
# The score is written with a leading zero, which the quit writes again without it.
limited="$work_dir/limited"
prepare_game "$limited"
printf '07\n' >"$limited/highscore"
(cd "$limited" && ulimit -f 0 && exec ./ardlow) > >(cat >"$limited.log") 2>&1 &
game_pid=$!
wait_title limited
quit_game limited
[ "$(grep -c "high score not saved" "$limited.log")" = 1 ] &&
    grep -q "^high score not saved to highscore: File too large" "$limited.log" ||
    fail "limited: not one line saying the file was too large"
[ "$(cat "$limited/highscore")" = 07 ] && [ ! -e "$limited/highscore.new" ] ||
    fail "limited: highscore changed or highscore.new left: $(ls -A "$limited")"
echo "ok"
