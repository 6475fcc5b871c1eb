/* Resource numbers of the windows' pictures (res/nimbrel.rc includes this file). */
#pragma once

#define NIMBREL_BITMAP_NAV_OPTIONS 101
#define NIMBREL_BITMAP_NAV_EXCEPTIONS 102
#define NIMBREL_BITMAP_NAV_LOG 103
#define NIMBREL_BITMAP_NAV_ABOUT 104
#define NIMBREL_BITMAP_ABOUT 105
