# One warning set for every target of the project; third-party headers stay quiet
# because they come in as system includes.
add_compile_options(-Wall -Wextra -Wshadow=local -Wnon-virtual-dtor -Wcast-align -Wformat=2)
if(VORLA_WERROR)
  add_compile_options(-Werror)
endif()
