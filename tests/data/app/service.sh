#!/bin/sh
# Stands in for the proxy service's program: notes the argument of every run in service.log beside itself,
# with the time of the run in milliseconds since 1970.
printf '%s %s\n' "$1" "$(date +%s%3N)" >> "$(dirname "$0")/service.log"
