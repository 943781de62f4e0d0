# Writes a man page from its template: @PROJECT_VERSION@ and, where the
# template holds @CALC_OPTIONS@, the OPTIONS section the option registry gave.
#   cmake -DTEMPLATE=in -DOUTPUT=out -DVERSION=v [-DOPTIONS=file] -P make_man_page.cmake
file(READ "${TEMPLATE}" text)
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" text "${text}")
if(DEFINED OPTIONS)
  file(READ "${OPTIONS}" options)
  string(REPLACE "@CALC_OPTIONS@\n" "${options}" text "${text}")
endif()
file(WRITE "${OUTPUT}" "${text}")
