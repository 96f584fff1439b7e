#pragma once

// The one value type for points, directions, normals, colours (r, g, b, a),
// window points and texture coordinates. Single precision throughout.
// `len` caches the last computed length: only length() and normalise() write
// it and assignment does not copy it.
struct Vector {
    float x, y, z, w;
    float len = 0.0f;

    Vector() : x(0), y(0), z(0), w(1) {}
    explicit Vector(int n) : x(float(n)), y(float(n)), z(float(n)), w(float(n)) {}
    Vector(float a, float b) : x(a), y(b), z(0), w(1) {}
    Vector(float a, float b, float c) : x(a), y(b), z(c), w(1) {}
    Vector(float a, float b, float c, float d) : x(a), y(b), z(c), w(d) {}
    Vector(const Vector& o) : x(o.x), y(o.y), z(o.z), w(o.w) {}
    Vector& operator=(const Vector& o)
    {
        x = o.x;
        y = o.y;
        z = o.z;
        w = o.w;
        return *this;
    }

    float length();
    // Divides all four components by the length. A vector of length 0 (the
    // zero vector, or one whose squares underflow) is left as it is.
    void normalise();
    void cross(const Vector& a, const Vector& b);
    float dot(const Vector& b) const { return x * b.x + y * b.y + z * b.z; }
    // (q - r) x (p - q), normalised.
    void normal_from_points(const Vector& p, const Vector& q, const Vector& r);
    bool within(const Vector& c, float r) const;

    bool operator==(const Vector& b) const { return x == b.x && y == b.y && z == b.z; }
    bool operator!=(const Vector& b) const { return !(*this == b); }
    bool operator<(const Vector& b) const;

    Vector operator+(const Vector& b) const { return {x + b.x, y + b.y, z + b.z, w + b.w}; }
    Vector operator-(const Vector& b) const { return {x - b.x, y - b.y, z - b.z, w - b.w}; }
    Vector operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    Vector operator/(float s) const { return {x / s, y / s, z / s, w / s}; }
    // Component product of all four components.
    Vector operator*(const Vector& b) const { return {x * b.x, y * b.y, z * b.z, w * b.w}; }
    Vector& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    Vector& operator/=(float s)
    {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }
    Vector& operator+=(const Vector& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        w += b.w;
        return *this;
    }
    Vector& operator-=(const Vector& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        w -= b.w;
        return *this;
    }
};

inline Vector operator*(float s, const Vector& v)
{
    return v * s;
}

// Pseudo-random float in [0, 1] from the C library generator.
float random_unit();
