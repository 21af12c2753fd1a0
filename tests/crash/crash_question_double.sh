#!/bin/sh
# Stands in for the crash box: records the report, the part that would go on the clipboard and
# each call, then answers as CRASH_ANSWER says ("Yes" or "No").
cat > "$CRASH_RECORD_DIR/report"
head -c "$1" "$CRASH_RECORD_DIR/report" > "$CRASH_RECORD_DIR/clipboard"
echo call >> "$CRASH_RECORD_DIR/calls"
echo "$CRASH_ANSWER"
