# The maker's support endpoints. They are build-time settings; a build
# without them (the default) has no support visit and no links to follow.
set(SENDORA_SUPPORT_TOP_URL "" CACHE STRING
  "Top page of the support blog, opened after a complete run")
set(SENDORA_SUPPORT_ENTRY_URL "" CACHE STRING
  "Support-blog entry page that carries the ad markers comm_str/comm_end")
set(SENDORA_SUPPORT_PAGE_URL "" CACHE STRING
  "Support page shown and opened from the version dialog")
set(SENDORA_DONATION_URL "" CACHE STRING
  "Donation page opened from the version dialog")

set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/dialogs/supportvisit.cpp
  APPEND PROPERTY COMPILE_DEFINITIONS
  "SENDORA_SUPPORT_TOP_URL=\"${SENDORA_SUPPORT_TOP_URL}\""
  "SENDORA_SUPPORT_ENTRY_URL=\"${SENDORA_SUPPORT_ENTRY_URL}\""
  "SENDORA_SUPPORT_PAGE_URL=\"${SENDORA_SUPPORT_PAGE_URL}\""
  "SENDORA_DONATION_URL=\"${SENDORA_DONATION_URL}\"")
