#pragma once

// Thrown by the two vector operations that would otherwise divide by zero.
struct ZeroDivide {};
