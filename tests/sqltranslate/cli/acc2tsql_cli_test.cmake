# Runs acc2tsql from the command line on the worked examples, an exported query file and
# queries with parameters and untranslatable constructs, and checks its output, its reports
# on standard error and its exit status.
# Arguments: -DTOOL=path -DDATA=folder -DWORK=scratch folder [-DEMULATOR=wine].
function(run_tool out_var err_var rc_var)
  cmake_parse_arguments(R "" "INPUT" "ARGS" ${ARGN})
  set(extra)
  if(R_INPUT)
    set(extra INPUT_FILE ${R_INPUT})
  endif()
  execute_process(COMMAND ${EMULATOR} ${TOOL} ${R_ARGS} WORKING_DIRECTORY ${DATA}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc ${extra})
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
  set(${rc_var} "${rc}" PARENT_SCOPE)
endfunction()

function(expect_equal what got want)
  if(NOT got STREQUAL want)
    message(FATAL_ERROR "${what}:\n--- got ---\n${got}\n--- want ---\n${want}")
  endif()
endfunction()

file(READ ${DATA}/examples.expected want)
run_tool(out err rc ARGS ex1.sql ex2.sql ex3.sql ex4.sql ex5.sql ex6.sql ex7.sql ex8.sql)
expect_equal("worked examples" "${out}" "${want}")
expect_equal("exit status" "${rc}" "0")

# An exported file: byte-order mark, LF line ends, brackets, double-quoted literals holding
# an apostrophe and backslashes, a line comment and a trailing ORDER BY.
file(READ ${DATA}/bom_lf.expected want)
run_tool(out err rc ARGS bom_lf.sql)
expect_equal("byte-order mark and LF line ends" "${out}" "${want}")
expect_equal("exit status" "${rc}" "0")

# A failing query is reported, the others are still translated, the status is 1.
run_tool(out err rc ARGS bad.sql ex3.sql)
expect_equal("output after a failure" "${out}"
             "SELECT RTrim(LTrim([Nombre])) FROM Personas\n")
if(NOT err MATCHES "^acc2tsql: bad.sql: [^\n]*IIF[^\n]*\n$")
  message(FATAL_ERROR "error report: ${err}")
endif()
expect_equal("exit status after a failure" "${rc}" "1")

# Standard input, --view and Windows-1252 text.
run_tool(out err rc ARGS --view Vista INPUT ${DATA}/ex3.sql)
expect_equal("--view from standard input" "${out}"
             "CREATE VIEW Vista AS SELECT RTrim(LTrim([Nombre])) FROM Personas\n")
run_tool(out err rc ARGS --ansi ansi.sql)
file(WRITE ${WORK}/acc2tsql_ansi.out "${out}")
file(READ ${WORK}/acc2tsql_ansi.out out_hex HEX)
# "Ñuño" in Windows-1252 comes out as the same bytes, then " AND Activo=1" and a line break.
if(NOT out_hex MATCHES "d175f16f20414e442041637469766f3d310a$")
  message(FATAL_ERROR "--ansi output: ${out_hex}")
endif()

# A parameter is listed with its type; a construct without a T-SQL translation is warned
# about, the best translation is still printed and the status is 3.
run_tool(out err rc ARGS params.sql)
expect_equal("parameters" "${out}" "SELECT Legajo FROM Marcas WHERE Fecha >= @Fecha_desde\n")
expect_equal("parameter list" "${err}"
             "acc2tsql: params.sql: parameter @Fecha_desde datetime \
stands for [Fecha desde]\n")
expect_equal("exit status with parameters" "${rc}" "0")
run_tool(out err rc ARGS warn.sql)
expect_equal("translation with a warning" "${out}"
             "SELECT Legajo, Antiguedad([Alta]) AS Anios FROM Personas \
WHERE Sector = @frmMain_cboSector\n")
expect_equal("warning" "${err}"
             "acc2tsql: warn.sql: parameter @frmMain_cboSector stands for \
[Forms]![frmMain]![cboSector]\n\
acc2tsql: warn.sql: warning: user-defined or VBA function at \"Antiguedad([Alta])\"\n")
expect_equal("exit status with warnings" "${rc}" "3")
# Under --view a parameter is a warning too; a failure still beats a warning.
run_tool(out err rc ARGS --view V params.sql)
if(NOT err MATCHES "warning: parameter in a view [^\n]* at \"\\[Fecha desde\\]\"\n$")
  message(FATAL_ERROR "parameter in a view: ${err}")
endif()
expect_equal("exit status of a view with parameters" "${rc}" "3")
run_tool(out err rc ARGS warn.sql bad.sql)
expect_equal("exit status with a warning and a failure" "${rc}" "1")

run_tool(out err rc ARGS --help)
if(NOT out MATCHES "Usage: acc2tsql" OR NOT rc STREQUAL "0" OR
   NOT out MATCHES "3 every query was translated, with warnings")
  message(FATAL_ERROR "--help: ${out}")
endif()
run_tool(out err rc ARGS --bogus)
expect_equal("bad option status" "${rc}" "2")
