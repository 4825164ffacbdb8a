# Writes help2man's include file for korvane: the hand-written sections of INCLUDE followed by
# the help of every subcommand that `korvane --help` lists, as the program prints it.
#   cmake -DKORVANE=path/to/korvane -DINCLUDE=korvane.h2m -DOUTPUT=out.h2m -P subcommand_helps.cmake

function(roff_literal text result)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  # A line starting with a dot or an apostrophe would be read as a request.
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND "${KORVANE}" --help OUTPUT_VARIABLE usage RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${KORVANE} --help failed (${status})")
endif()
string(REGEX MATCH "\nSubcommands:\n.*" listed "${usage}")
string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*" names "${listed}")

file(READ "${INCLUDE}" text)
string(APPEND text "\n[SUBCOMMAND OPTIONS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND "${KORVANE}" ${name} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${KORVANE} ${name} --help failed (${status})")
  endif()
  roff_literal("${help}" help)
  string(APPEND text ".SS \"korvane ${name}\"\n.nf\n${help}.fi\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
