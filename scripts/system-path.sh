# Sourced first by every script: only the system's own folders on the PATH, so that every
# program the scripts run is the one a Debian package installed (scripts/check-deps.py checks
# which package), never a copy of the same name elsewhere on the machine.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
