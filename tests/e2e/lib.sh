# Shared steps of the end-to-end stories: a scratch copy of the program
# folder with a seeded database, the program started on its own X server,
# and a librarian's keyboard through xdotool. Sourced by each story, which
# runs as:  story.sh <program folder>
#
# Only what a person at the counter can see or touch is used: window titles,
# keys, the texts of the message boxes, and afterwards the database file.
# Child windows inside the main window are not X windows; a story drives
# them by keys and checks what they did in the database.

set -euo pipefail

E2E_PROGRAM_DIR=$(cd "${1:?usage: $0 <program folder>}" && pwd)
E2E_NAME=$(basename "$0" .sh)

# Every story runs on an X server of its own (see with-xvfb.sh for how its
# display number is chosen).
if [ -z "${E2E_IN_XVFB:-}" ]; then
  E2E_IN_XVFB=1 exec bash "$(dirname "${BASH_SOURCE[0]}")/../support/with-xvfb.sh" bash "$0" "$@"
fi

E2E_SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/e2e-$E2E_NAME.XXXXXX")
E2E_APP="$E2E_SCRATCH/program"
E2E_DB="$E2E_APP/Data/ombry.dat"
E2E_LOG="$E2E_SCRATCH/program.log"
E2E_PID=""
E2E_SHOWN=0          # message boxes already checked, counted in the log
E2E_STARTED=$EPOCHREALTIME
elapsed() { awk "BEGIN{printf \"%.1f\", $EPOCHREALTIME - $E2E_STARTED}"; }

# Polling loops run until a deadline of so many seconds from now.
now_us() { echo "${EPOCHREALTIME/./}"; }
deadline() { echo $(($(now_us) + ${1%.*} * 1000000)); }
before() { (($(now_us) < $1)); }

say() { printf '[%s %6ss] %s\n' "$E2E_NAME" "$(elapsed)" "$*" >&2; }

fail() {
  say "FAIL: $*"
  if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
    say "visible windows:"
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      echo "    $w '$(xdotool getwindowname "$w" 2>/dev/null)'" >&2
    done
    shot_on_failure
  fi
  say "program log (last lines):"
  tail -n 20 "$E2E_LOG" 2>/dev/null | sed 's/^/    /' >&2 || true
  exit 1
}

shot_on_failure() {
  local dir="${E2E_SCREENS:-$E2E_PROGRAM_DIR/../test-output/screens}"
  mkdir -p "$dir" && import -window root "$dir/e2e-failed-$E2E_NAME.png" 2>/dev/null &&
    say "screen at failure: $dir/e2e-failed-$E2E_NAME.png" || true
}

cleanup() {
  stop_program
  if [ -n "${E2E_KEEP:-}" ]; then say "scratch kept: $E2E_SCRATCH"; else rm -rf "$E2E_SCRATCH"; fi
}
trap cleanup EXIT
# ctest ends a story that runs too long with a signal: clean up then too.
trap 'exit 1' TERM INT HUP
rm -f "${E2E_SCREENS:-$E2E_PROGRAM_DIR/../test-output/screens}/e2e-failed-$E2E_NAME.png"

# ------------------------------------------------------------ the fixture

sql() { sqlite3 -bail "$E2E_DB" "$@"; }

# The program folder copied with a fresh database made from db/*.sql (the
# build keeps the one it made beside the program folder; a used
# Data/ombry.dat would carry someone's data), then the library of the
# stories: reader types, readers, books, periodicals, an operator.
make_fixture() {
  mkdir -p "$E2E_APP"
  cp -a "$E2E_PROGRAM_DIR/." "$E2E_APP/"
  rm -rf "$E2E_APP/Backup" && mkdir -p "$E2E_APP/Backup"
  local shipped="$E2E_PROGRAM_DIR/../db/ombry.dat"
  [ -f "$shipped" ] || shipped="$E2E_PROGRAM_DIR/Data/ombry.dat"
  cp "$shipped" "$E2E_DB"
  rm -f "$E2E_APP"/Data/ombry.dat-* "$E2E_APP"/Data/*.tmp* "$E2E_APP"/Data/DBtmp.mdb*
  printf '[Server]\nPath=\n' >"$E2E_APP/ConSQL.ini"
  local today
  today=$(date +%F)
  sql <<SQL
DELETE FROM AcctInfo;
INSERT INTO AcctInfo (CorpName, IfFine, IfExcced, Ifrepeat, PerFine, PerFine1, InDay)
  VALUES ('端到端测试图书馆', 1, 0, 1, 0.5, 0.3, 30);
INSERT INTO ReaderType (Code, CeQty, LimitDay, RenewTime, IsLimit, CeQty1, LimitDay1, IsLimit1)
  VALUES ('学生', 5, 30, 1, 1, 3, 14, 1), ('教师', 10, 60, 2, 1, 5, 30, 1);
INSERT INTO Readerinfo (Code, Name, SortCode, Department, RegDate, Isstop, BookQty, Times)
  VALUES ('R001', '张三', '学生', '计算机系', '$today', 0, 0, 0),
         ('R002', '李四', '学生', '中文系', '$today', 0, 1, 1),
         ('R003', '王五', '教师', '历史系', '$today', 0, 0, 0);
INSERT INTO Bookinfo (Code, Name, Publisher, Writer, BookPrice, IsOut, Times, SortCode)
  VALUES ('B001', '数据结构', '清华大学出版社', '严蔚敏', 29.5, '', 0, 'TP'),
         ('B002', '红楼梦', '人民文学出版社', '曹雪芹', 45.0, '', 0, 'I24'),
         ('B003', '史记', '中华书局', '司马迁', 88.0, '', 0, 'K20'),
         ('B004', '围城', '人民文学出版社', '钱锺书', 19.8, '', 0, 'I24'),
         ('B005', '平凡的世界', '北京十月文艺出版社', '路遥', 64.0, '外借', 1, 'I24');
INSERT INTO Magzinfo (Code, Name, Writer, Orderyear, PeriodNo, BookPrice, IsOut, Times)
  VALUES ('M001', '读者', '读者杂志社', '2026', '12', 5.0, '', 0);
-- B005 is on loan to R002 and was due ten days ago: a late return.
UPDATE Bookinfo SET Borrowman = '李四', BorrowDate = date('$today', '-40 days') WHERE Code = 'B005';
INSERT INTO Borrowinfo (Code, Rcode, State, BorrowDate, ReturnDate, RenewTimes, Operator)
  VALUES ('B005', 'R002', '未还', date('$today', '-40 days'), date('$today', '-10 days'), 0, '管理员');
-- A desk operator with a password and the lending right only.
INSERT INTO SystemUser (UseCode, UseName, Duty, Passwords) VALUES ('clerk', '柜台员', '操作员', 'pw123');
INSERT INTO UserModule (Usecode, ModuleId, Ifcheck)
  SELECT 'clerk', ModuleId, CASE WHEN ModuleId = 9 THEN 1 ELSE 0 END
  FROM (SELECT DISTINCT ModuleId FROM UserModule WHERE Usecode = 'Admin');
SQL
}

# ------------------------------------------------------------ the program

# Starts the program on the scratch folder. Every message box it shows is
# also written to its standard error (QUILLORY_LOG_DIALOGS), so a story can
# read the text of the box on the screen.
start_program() {
  : >>"$E2E_LOG"
  E2E_SHOWN=$(grep -c '^dialog-shown' "$E2E_LOG" || true)
  local attempt from
  for attempt in 1 2 3; do
    from=$(($(wc -c <"$E2E_LOG") + 1))
    (cd "$E2E_SCRATCH" && QT_QPA_PLATFORM=xcb QUILLORY_LOG_DIALOGS=1 exec "$E2E_APP/quillory" >>"$E2E_LOG" 2>&1) &
    E2E_PID=$!
    say "program started (pid $E2E_PID)"
    # On a crowded machine a connection to a server that has just answered
    # is now and then refused; that is the machine, not the program, so the
    # start is tried again. Any other early end is the story's to judge.
    sleep 0.5
    kill -0 "$E2E_PID" 2>/dev/null && return 0
    tail -c +"$from" "$E2E_LOG" | grep -q 'could not connect to display' || return 0
    wait "$E2E_PID" 2>/dev/null || true
    say "the program could not reach the display (attempt $attempt); starting it again"
    sleep 1
  done
}

# Waits for the program to end by itself; fails if it does not.
wait_program_end() {
  local timeout=${1:-20} end
  end=$(deadline "$timeout")
  while before "$end"; do
    kill -0 "$E2E_PID" 2>/dev/null || {
      wait "$E2E_PID" 2>/dev/null || true
      E2E_PID=""
      return 0
    }
    sleep 0.1
  done
  fail "the program did not end within ${timeout}s"
}

stop_program() {
  [ -n "$E2E_PID" ] || return 0
  if kill -0 "$E2E_PID" 2>/dev/null; then
    kill "$E2E_PID" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$E2E_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$E2E_PID" 2>/dev/null || true
  fi
  wait "$E2E_PID" 2>/dev/null || true
  E2E_PID=""
}

# ------------------------------------------------------------ windows

# Qt adds the program's name to every window title ("信息 — Quillory…"):
# a title matches with or without it.
title_re() { echo "^${1}( — .*)?\$"; }

# Prints the id of the visible window whose title is $1, waiting up to $2
# seconds (default 15).
wait_window() {
  local title=$1 timeout=${2:-30} end ids
  end=$(deadline "$timeout")
  while before "$end"; do
    ids=$(xdotool search --onlyvisible --name "$(title_re "$title")" 2>/dev/null || true)
    if [ -n "$ids" ]; then
      echo "$ids" | tail -n 1
      return 0
    fi
    [ -z "$E2E_PID" ] || kill -0 "$E2E_PID" 2>/dev/null || fail "the program ended while waiting for '$title'"
    sleep 0.1
  done
  fail "no window '$title' within ${timeout}s"
}

# Like wait_window, for a dialog window of the program's own (a message
# box, a file dialog): the main window may carry the same title, and so may
# the window that opened the dialog, given as $2.
wait_dialog() {
  local title=$1 opener=${2:-} timeout=30 end w
  end=$(deadline "$timeout")
  while before "$end"; do
    for w in $(xdotool search --onlyvisible --name "$(title_re "$title")" 2>/dev/null || true); do
      [ "$w" != "$opener" ] || continue
      if xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; then
        echo "$w"
        return 0
      fi
    done
    [ -z "$E2E_PID" ] || kill -0 "$E2E_PID" 2>/dev/null || fail "the program ended while waiting for '$title'"
    sleep 0.1
  done
  fail "no dialog '$title' within ${timeout}s"
}

# Waits until window $1 is no longer shown.
wait_id_gone() {
  local id=$1 timeout=${2:-20} end
  end=$(deadline "$timeout")
  while before "$end"; do
    xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' || return 0
    sleep 0.1
  done
  fail "window $id ('$(xdotool getwindowname "$id" 2>/dev/null)') still shown after ${timeout}s"
}

# Waits until no visible window has the title $1.
wait_window_gone() {
  local title=$1 timeout=${2:-10} end
  end=$(deadline "$timeout")
  while before "$end"; do
    xdotool search --onlyvisible --name "$(title_re "$title")" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$title' still shown after ${timeout}s"
}

# Clicks the left button at ($2,$3) inside window $1 (the form's own
# coordinates: without a window manager the window has no frame).
click_in() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.1
}

# Fails if the program shows a message box within $1 seconds.
no_box_within() {
  local end n
  end=$(deadline "$1")
  while before "$end"; do
    n=$(grep -c '^dialog-shown' "$E2E_LOG" || true)
    [ "$n" -gt "$E2E_SHOWN" ] && fail "unexpected box: $(grep '^dialog-shown' "$E2E_LOG" | tail -n 1)"
    sleep 0.1
  done
}

key() { xdotool key --delay 40 "$@"; }
type_text() { xdotool type --delay 30 "$1"; }

# The main window: its title is the library's name once somebody logged in.
MAIN_TITLE='端到端测试图书馆'
APP_TITLE='Quillory图书馆管理系统'

# The window $1 should have the keyboard: a dialog that was just shown, or
# the window that opened a dialog that just closed. Without a window manager
# only the program itself can give it, so a keyboard left elsewhere is the
# program's fault, as a librarian would find it.
expect_focus_back() {
  local want=$1 got end
  end=$(deadline 1)
  while before "$end"; do
    got=$(xdotool getwindowfocus 2>/dev/null || true)
    [ "$got" = "$want" ] && return 0
    sleep 0.05
  done
  fail "the keyboard is on '$(xdotool getwindowname "$got" 2>/dev/null || echo "$got")', not on '$(xdotool getwindowname "$want")'"
}

# Runs item $2 (counted from 1, separators not counted) of menu $1 of the
# main menu bar, from the keyboard: Alt, arrows, Enter.
menu() {
  local top=$1 item=$2 keys=() i
  expect_focus_back "$E2E_MAIN"
  key alt
  for ((i = 1; i < top; i++)); do keys+=(Right); done
  keys+=(Down)
  for ((i = 1; i < item; i++)); do keys+=(Down); done
  key "${keys[@]}" Return
}

# ------------------------------------------------------------ message boxes

# Sets E2E_BOX_LINE to the next message box the program showed, from its log
# ("dialog-shown<TAB>caption<TAB>text", line breaks written as \n).
next_box_line() {
  local timeout=${1:-30} end n
  end=$(deadline "$timeout")
  while before "$end"; do
    n=$(grep -c '^dialog-shown' "$E2E_LOG" || true)
    if [ "$n" -gt "$E2E_SHOWN" ]; then
      E2E_SHOWN=$((E2E_SHOWN + 1))
      E2E_BOX_LINE=$(grep '^dialog-shown' "$E2E_LOG" | sed -n "${E2E_SHOWN}p")
      return 0
    fi
    sleep 0.1
  done
  fail "no message box shown within ${timeout}s"
}

# Waits for the message box titled $1, checks that its text contains $2,
# gives it the keyboard and answers with the keys $3 (default Return).
# Prints the text.
answer_box() {
  local caption=$1 want=$2 keys=${3:-Return} id line text
  id=$(wait_dialog "$caption")
  next_box_line
  line=$E2E_BOX_LINE
  text=$(printf '%s' "$line" | cut -f3-)
  [ "$(printf '%s' "$line" | cut -f2)" = "$caption" ] || fail "box '$caption' expected, shown: $line"
  case "$text" in
  *"$want"*) ;;
  *) fail "box '$caption' says '$text', expected '$want'" ;;
  esac
  say "box [$caption] $text -> $keys"
  expect_focus_back "$id"
  # shellcheck disable=SC2086
  key $keys
  wait_id_gone "$id"
  E2E_LAST_BOX=$text
}

# Waits for the file dialog titled $1, types the file name $2 into its name
# box (which has the keyboard; none keeps the name the program offers) and
# presses Enter. $3: the window that opened it, when it has the same title.
answer_file_dialog() {
  local title=$1 name=$2 opener=${3:-} id
  id=$(wait_dialog "$title" "$opener")
  next_box_line
  [ "$(printf '%s' "$E2E_BOX_LINE" | cut -f2)" = "$title" ] || fail "file dialog '$title' expected, shown: $E2E_BOX_LINE"
  say "file dialog [$title] $(printf '%s' "$E2E_BOX_LINE" | cut -f3) <- $name"
  E2E_FILE_DIALOG=$id
  expect_focus_back "$id"
  if [ -n "$name" ]; then
    key ctrl+a
    type_text "$name"
  fi
  key Return
  wait_id_gone "$id"
}

# ------------------------------------------------------------ login

# Logs in as $1 with password $2 and confirms the business date, leaving
# the main window with the keyboard. $3, if given, is the business date
# (yyyy-MM-dd) typed into the date box.
login() {
  local user=$1 password=$2 day=${3:-} id
  id=$(wait_window '用户登陆' 30)
  expect_focus_back "$id"
  choose_operator "$user"
  key Return
  key Return # the read-only name box passes on to the password
  type_text "$password"
  key Return Return
  wait_window_gone '用户登陆'
  id=$(wait_window '业务日期')
  expect_focus_back "$id"
  [ -z "$day" ] || set_date "$day"
  key Return Return
  wait_window_gone '业务日期'
  E2E_MAIN=$(wait_window "$MAIN_TITLE")
  expect_focus_back "$E2E_MAIN"
  say "logged in as $user"
}

# Types the date $1 (yyyy-MM-dd) into the date box that has the keyboard:
# from its first field, the separators move on to the next field.
set_date() {
  key Home
  type_text "$1"
}

# 更换操作员: the login dialog again, without the business date.
relogin() {
  local id
  id=$(wait_window '用户登陆')
  expect_focus_back "$id"
  choose_operator "$1"
  key Return Return
  type_text "$2"
  key Return Return
  wait_window_gone '用户登陆'
  expect_focus_back "$E2E_MAIN"
  say "operator now $1"
}

# The operator box is a drop-down list: typing the code's first letters
# selects it, as in any list.
choose_operator() { type_text "$1"; }

# ------------------------------------------------------------ checks

expect_eq() {
  local what=$1 got=$2 want=$3
  [ "$got" = "$want" ] || fail "$what: got '$got', expected '$want'"
  say "ok: $what = $got"
}

# Waits until the query $1 returns $2 (a save may still be committing).
expect_db() {
  local query=$1 want=$2 got="" end
  end=$(deadline 5)
  while before "$end"; do
    got=$(sql "$query" 2>/dev/null || true)
    [ "$got" = "$want" ] && { say "ok: $query -> $(echo "$got" | tr '\n' ' ')"; return 0; }
    sleep 0.1
  done
  fail "database: $query -> '$got', expected '$want'"
}

done_story() {
  say "PASS in $(elapsed)s"
}

make_fixture
