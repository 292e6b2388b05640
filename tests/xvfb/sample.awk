# Prints "x y" of sample k (k >= 0) of the solution through (x0, y0) of
# x' = x (4 - y), y' = y (-4 + x), the start-up coefficients, with the start-up time step 0.02
# split into 40 classical Runge-Kutta steps as the program does.
# Usage: awk -v x0=3 -v y0=6 -v k=10 -f sample.awk
function fx(x, y) { return x * (4 - y) }
function fy(x, y) { return y * (-4 + x) }
BEGIN {
    x = x0; y = y0; h = 0.02 / 40
    for (n = 0; n < 40 * k; ++n) {
        k1x = h * fx(x, y);                     k1y = h * fy(x, y)
        k2x = h * fx(x + k1x / 2, y + k1y / 2); k2y = h * fy(x + k1x / 2, y + k1y / 2)
        k3x = h * fx(x + k2x / 2, y + k2y / 2); k3y = h * fy(x + k2x / 2, y + k2y / 2)
        k4x = h * fx(x + k3x, y + k3y);         k4y = h * fy(x + k3x, y + k3y)
        x += k1x / 6 + k2x / 3 + k3x / 3 + k4x / 6
        y += k1y / 6 + k2y / 3 + k3y / 3 + k4y / 6
    }
    printf "%.17g %.17g\n", x, y
}
