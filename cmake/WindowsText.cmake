# Writes a text file as Windows editors expect it, for the portable package:
# UTF-8 with a byte order mark and CRLF line ends, whatever IN uses.
#   cmake -DIN=source.txt -DOUT=package/name.txt -P WindowsText.cmake
if(NOT DEFINED IN OR NOT DEFINED OUT)
  message(FATAL_ERROR "WindowsText.cmake needs -DIN=... and -DOUT=...")
endif()
file(READ "${IN}" text)
string(ASCII 239 187 191 bom)
string(REGEX REPLACE "^${bom}" "" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUT}" "${bom}${text}")
