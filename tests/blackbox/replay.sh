#!/usr/bin/env bash
# A game played to its end leaves its recordings, which --verify reproduces and --replay plays.
# (The idle title's best game is timed in game_test, on the game's own clock.)
set -u
# shellcheck source=SCRIPTDIR/lib.bash
source "$(dirname "$0")/lib.bash"

dir=$work_dir/game
start_game "$dir"
whole_game game "$dir/highscore"
wait_for 10 "last.replay and best.replay" test -s "$dir/last.replay" -a -s "$dir/best.replay"
cmp -s "$dir/last.replay" "$dir/best.replay" || fail "the first game is not the best kept"
quit_game game

verify() { (cd "$dir" && ${ARDLOW_LAUNCHER:-} ./ardlow --verify "$@"); }
pattern='^last.replay: score [0-9]+ in [0-9]+ updates, reproduced$'
said=$(verify last.replay) || fail "--verify last.replay: $said"
[[ $said =~ $pattern ]] || fail "--verify last.replay said: $said"
printf 'ardlow replay\n\1\0\0\0' >"$dir/cut.replay"
said=$(verify cut.replay) && fail "--verify took a truncated file"
[ "$said" = "cut.replay: truncated" ] || fail "--verify on a truncated file said: $said"

# --replay plays the game in its window and ends by itself.
(cd "$dir" && exec ${ARDLOW_LAUNCHER:-} ./ardlow --replay best.replay) >"$dir-replay.log" 2>&1 &
game_pid=$!
wait_for 60 "the replayed game" snake_shown
wait_game_exit 120
[ "$game_status" = 0 ] || fail "--replay ended with status $game_status"
echo "ok"
