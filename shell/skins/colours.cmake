# The six selectable skins: one row per skin, in skin index order (1..6). Every sheet is made
# from skin.css.in with the row's colours, so the sheets differ in nothing but these.
#   file | swatch in the skin dialog | window border width | border colour |
#   title strip top | title strip bottom | button top | button bottom
set(DOCSCANNER_SKINS
  "chocolate|rgb(124, 124, 124)|1px|#686868|#6F6F6F|#646262|#686868|#747272"
  "blue|rgb(87, 250, 255)|1px|#1B89CA|#57faff|#1077B5|#1B89CA|#57faff"
  "mgreen|rgb(86, 169, 120)|1px|#19A966|#19A966|#A9A9A6|#19A966|#1077B5"
  "green|rgb(56, 199, 56)|2px|#38C738|#88E788|#38C738|#38C738|#38C738"
  "pink|rgb(242, 158, 194)|1px|#F29EC2|#E260A1|#F19CB1|#E269A1|#F29EC2"
  "brown|rgb(179, 147, 72)|1px|#B39348|#B39348|#B39348|#B39348|#B39348")

# Writes one sheet per row into `out_dir` and returns their paths in `out_var`; the swatch
# colours of the skin dialog go from the same rows into `out_dir`/SkinSwatches.h.
function(docscanner_make_skin_sheets template out_dir out_var)
  set(sheets)
  set(swatches)
  foreach(row IN LISTS DOCSCANNER_SKINS)
    string(REPLACE "|" ";" fields "${row}")
    list(GET fields 0 name)
    list(GET fields 1 swatch)
    string(APPEND swatches "    \"${swatch}\",\n")
    list(GET fields 2 SKIN_BORDER_WIDTH)
    list(GET fields 3 SKIN_COLOUR)
    list(GET fields 4 SKIN_TITLE_TOP)
    list(GET fields 5 SKIN_TITLE_BOTTOM)
    list(GET fields 6 SKIN_BUTTON_TOP)
    list(GET fields 7 SKIN_BUTTON_BOTTOM)
    configure_file(${template} ${out_dir}/${name}.css @ONLY NEWLINE_STYLE UNIX)
    list(APPEND sheets ${out_dir}/${name}.css)
  endforeach()
  file(CONFIGURE OUTPUT ${out_dir}/SkinSwatches.h
    CONTENT "#pragma once\n\n// Made by the build from the skin table.\ninline constexpr const char* kSkinSwatches[] = {\n${swatches}};\n"
    @ONLY)
  set(${out_var} ${sheets} PARENT_SCOPE)
endfunction()
