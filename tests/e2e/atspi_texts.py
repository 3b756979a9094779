#!/usr/bin/python3
# Prints what a screen reader reads of the program whose process id is given (atspi_texts.py PID):
# each object's name and text, one a line. Exit status 2 when it is not on the accessibility bus.
import sys

import pyatspi


def texts(obj):
    print(obj.name)
    if "Text" in pyatspi.listInterfaces(obj):
        print(obj.queryText().getText(0, -1))
    for child in obj:
        if child is not None:
            texts(child)


apps = [app for app in pyatspi.Registry.getDesktop(0) if app and app.get_process_id() == int(sys.argv[1])]
for app in apps:
    texts(app)
sys.exit(0 if apps else 2)
