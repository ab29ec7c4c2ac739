# SPDX-License-Identifier: BSD-2-Clause
# The date of the newest changelog entry, in seconds since 1970 (fibbet_changelog_epoch):
# the packages' date when the environment gives no SOURCE_DATE_EPOCH, so that two builds
# of one release are the same bytes. Reads the RFC 5322 date of the first " -- " line of
# `changelog_lines`, by the days-from-civil rule of the proleptic Gregorian calendar.
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^ -- .+  [A-Z][a-z][a-z], ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) ([-+])([0-9][0-9])([0-9][0-9])$")
    break()
  endif()
endforeach()
if(NOT CMAKE_MATCH_0)
  message(FATAL_ERROR "packaging/changelog: no dated entry")
endif()
list(FIND months ${CMAKE_MATCH_2} month)  # 0 for January
set(sign ${CMAKE_MATCH_7})
set(fields ${CMAKE_MATCH_1} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} ${CMAKE_MATCH_5} ${CMAKE_MATCH_6} ${CMAKE_MATCH_8} ${CMAKE_MATCH_9})
# With no leading zero: math reads those as octal.
foreach(name IN ITEMS day year hour minute second zone_hours zone_minutes)
  list(POP_FRONT fields field)
  string(REGEX REPLACE "^0+([0-9])" "\\1" ${name} "${field}")
endforeach()
if(month LESS 2)  # a year counted from March puts the leap day at its end
  math(EXPR year "${year} - 1")
endif()
math(EXPR era "${year} / 400")
math(EXPR year_of_era "${year} - ${era} * 400")
math(EXPR day_of_year "(153 * ((${month} + 10) % 12) + 2) / 5 + ${day} - 1")
math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
math(EXPR fibbet_changelog_epoch "(${era} * 146097 + ${day_of_era} - 719468) * 86400
                                  + ${hour} * 3600 + ${minute} * 60 + ${second}
                                  - ${sign}1 * (${zone_hours} * 3600 + ${zone_minutes} * 60)")
