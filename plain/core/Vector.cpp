#include "core/Vector.h"

#include <cmath>
#include <cstdlib>

float Vector::length()
{
    const float sum = x * x + y * y + z * z;
    len = std::sqrt(sum);
    return len;
}

void Vector::normalise()
{
    length();
    // No direction to keep: dividing would make it NaN.
    if (len == 0.0f) return;
    x /= len;
    y /= len;
    z /= len;
    w /= len;
}

void Vector::cross(const Vector& a, const Vector& b)
{
    const float cx = a.y * b.z - a.z * b.y;
    const float cy = a.z * b.x - a.x * b.z;
    const float cz = a.x * b.y - a.y * b.x;
    x = cx;
    y = cy;
    z = cz;
}

void Vector::normal_from_points(const Vector& p, const Vector& q, const Vector& r)
{
    cross(q - r, p - q);
    normalise();
}

bool Vector::within(const Vector& c, float r) const
{
    const float dx = x - c.x, dy = y - c.y, dz = z - c.z;
    const float d = dx * dx + dy * dy + dz * dz;
    const float rr = r * r;
    return d <= rr;
}

bool Vector::operator<(const Vector& b) const
{
    if (x != b.x) return x < b.x;
    if (y != b.y) return y < b.y;
    return z < b.z;
}

float random_unit()
{
    return float(std::rand() % 32768) / 32767.0f;
}
