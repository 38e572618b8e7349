// The mock-up drawn into an image, without a display, for comparing pixels.
#pragma once

#include "huebench/mock_up.h"

#include <QImage>

QImage MockUpImage(const kestrava::ThemeColours& colours, std::vector<kestrava::MockUpElement>* elements = nullptr);
