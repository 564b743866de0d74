#include "board/ScreenState.h"

ScreenState screenState = Title;
