#!/usr/bin/env python3
"""A stand-in daemon for the client's tests of answers the simulated desktop cannot give (it has
no windows): it writes the banner, then answers each line with the next line of a script file
(given as its argument), and logs the lines it read to the file beside it (SCRIPT.received)."""

import sys

script = open(sys.argv[1], encoding="utf-8").read().splitlines()
received = open(sys.argv[1] + ".received", "w", encoding="utf-8")
sys.stderr.write("marlet daemon ready. Type 'help' for commands.\n")
sys.stderr.flush()
answers = iter(script)
for line in sys.stdin:
    received.write(line)
    received.flush()
    if line.strip() == "quit":
        print('{"status":"ok"}', flush=True)
        break
    print(next(answers), flush=True)
