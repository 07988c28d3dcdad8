#!/bin/sh
# The framework's public headers name no Qt type, not even through a forward
# declaration, so that the game compiles against the framework's own API and
# widgets are made on the framework's private side. Qt's names are a Q and a
# capital letter (QWidget, QRect). Takes the include folder; prints each line
# that names one.
grep -rnwE 'Q[A-Z][A-Za-z0-9_]*' "$1"
# grep finds nothing: 1; finds a name: 0; cannot read the folder: 2.
[ $? -eq 1 ]
