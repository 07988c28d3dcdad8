#!/bin/sh
# The layers' includes run one way: bindings/, globe/ and about/ never include
# a header of the game, and the framework's public headers include no Qt
# header, so the game compiles against the framework's own API. Run from the
# source tree's root; prints each offending line.
status=0
if grep -rnE '#include ["<](game/|App\.h|Menu\.h|MainWindow\.h|Resources\.h|Startup\.h)' bindings globe about; then
    status=1
fi
if grep -rnE '#include ["<](about/)' bindings globe; then
    status=1
fi
if grep -rnE '#include ["<](globe/)' bindings about; then
    status=1
fi
if grep -rnE '#include <Q' platform/lxframework/include; then
    status=1
fi
exit $status
