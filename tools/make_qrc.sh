#!/usr/bin/env bash
# Writes resources/kelvora.qrc from the files under resources/. Every
# resource is reached by its lower-case name (":/kelvora/<name>").
set -euo pipefail
cd "$(dirname "$0")/../resources"
{
  echo '<!DOCTYPE RCC>'
  echo '<RCC version="1.0">'
  echo '<qresource prefix="/kelvora">'
  for f in tables/KT6763 tables/DH6763 tables/CL6763 tables/CF6763; do
    [ -f "$f" ] && echo "    <file alias=\"$(basename "$f" | tr A-Z a-z)\">$f</file>"
  done
  for f in fonts/*.ttf pictures/* icons/*.png; do
    [ -f "$f" ] && echo "    <file alias=\"$(echo "$f" | tr A-Z a-z)\">$f</file>"
  done
  for f in clips/*.wav; do
    n=$(basename "$f" .wav | tr A-Z a-z)
    echo "    <file alias=\"$n\">$f</file>"
  done
  echo '</qresource>'
  echo '</RCC>'
} > kelvora.qrc
