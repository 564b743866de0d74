#include "board/Score.h"

int score = 0;
