# Run at install time (install(SCRIPT)): the command link in bin/ and the desktop entry, both
# naming the program by the prefix chosen then, which need not be the configured one. Expects
# VURNA_PROGRAM_DIR, VURNA_BIN_DIR, VURNA_DATA_DIR (relative to the prefix) and
# VURNA_DESKTOP_TEMPLATE.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program "${CMAKE_INSTALL_PREFIX}/${VURNA_PROGRAM_DIR}/Vurna3")

file(MAKE_DIRECTORY "${root}/${VURNA_BIN_DIR}")
file(REMOVE "${root}/${VURNA_BIN_DIR}/Vurna3")
file(RELATIVE_PATH target "${CMAKE_INSTALL_PREFIX}/${VURNA_BIN_DIR}" "${program}")
file(CREATE_LINK "${target}" "${root}/${VURNA_BIN_DIR}/Vurna3" SYMBOLIC)

# Exec takes the path in double quotes, where '"', '`', '$' and '\' are escaped with a
# backslash; the value as a whole is a string, whose backslashes are doubled again; '%' starts a
# field code unless doubled.
set(exec "${program}")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")

file(READ "${VURNA_DESKTOP_TEMPLATE}" entry)
string(REPLACE "@EXEC@" "\"${exec}\"" entry "${entry}")
set(desktop "${root}/${VURNA_DATA_DIR}/applications/vurnaboard.desktop")
file(WRITE "${desktop}" "${entry}")
message(STATUS "Installing: ${desktop}")
