#!/bin/sh
# Stands in for the proxy service's program: notes the argument of every run in service.log beside itself.
printf '%s\n' "$1" >> "$(dirname "$0")/service.log"
