#!/usr/bin/python3
# Prints every text that the accessibility tree shows of one program, as a screen reader reads
# it: each object's name and description and the text it holds, one a line, for the journeys to
# look for record texts in.
#
#   atspi_texts.py PID
#
# Exit status 2 when no application of that process is on the accessibility bus.
import sys

import pyatspi


def texts(obj, seen):
    if obj is None or len(seen) > 20000:
        return
    for text in (obj.name, obj.description):
        if text:
            print(text)
    try:
        content = obj.queryText()
        text = content.getText(0, -1)
        if text:
            print(text)
    except NotImplementedError:
        pass
    for index in range(obj.childCount):
        seen.append(index)
        texts(obj.getChildAtIndex(index), seen)


def main():
    pid = int(sys.argv[1])
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            texts(app, [])
            return 0
    return 2


sys.exit(main())
