#pragma once

// Pi to twelve digits. The settings' default wind direction, its limits and the switches'
// degrees are floats rounded from products with this value, so it stays at these digits.
constexpr double kPi = 3.14159265359;
