#pragma once

#include <cmath>

// A point, velocity, acceleration or force. Every expression below keeps the
// operand order of its formula: the simulation must agree bit for bit with a
// plain IEEE double evaluation, so nothing may be reassociated or fused.
class Vector3 {
  public:
    double x, y, z;
    // Scratch space of distanceSquared; never part of the vector's value.
    double dx, dy, dz;

    Vector3() : x(0.0), y(0.0), z(0.0), dx(0.0), dy(0.0), dz(0.0) {}
    Vector3(double x, double y, double z) : x(x), y(y), z(z), dx(0.0), dy(0.0), dz(0.0) {}
    // Copying a vector copies its value only; assignment copies the scratch too.
    Vector3(const Vector3& o) : x(o.x), y(o.y), z(o.z), dx(0.0), dy(0.0), dz(0.0) {}
    Vector3& operator=(const Vector3& o) {
        x = o.x;
        y = o.y;
        z = o.z;
        dx = o.dx;
        dy = o.dy;
        dz = o.dz;
        return *this;
    }

    Vector3& clear() {
        x = 0.0;
        y = 0.0;
        z = 0.0;
        return *this;
    }

    Vector3 operator+(Vector3 b) const { return Vector3(x + b.x, y + b.y, z + b.z); }
    Vector3 operator-(Vector3 b) const { return Vector3(x - b.x, y - b.y, z - b.z); }
    Vector3 operator*(double s) const { return Vector3(x * s, y * s, z * s); }
    Vector3 operator/(double s) const { return Vector3(x / s, y / s, z / s); }
    Vector3 operator-() const { return Vector3(-x, -y, -z); }

    Vector3& operator+=(Vector3 b) {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vector3& operator-=(Vector3 b) {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vector3& operator*=(double s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    Vector3& operator/=(double s) {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }

    double dot(Vector3 b) const { return x * b.x + y * b.y + z * b.z; }
    Vector3 cross(Vector3 b) const {
        return Vector3(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
    }
    Vector3& crossAssign(Vector3 b) {
        Vector3 c = cross(b);
        x = c.x;
        y = c.y;
        z = c.z;
        return *this;
    }

    double length() const { return std::sqrt(x * x + y * y + z * z); }
    // Divides by the length (no reciprocal) so each component rounds once.
    Vector3 normalized() const {
        double l = length();
        if (l != 0.0) return Vector3(x / l, y / l, z / l);
        return Vector3(0.0, 0.0, 0.0);
    }
    Vector3 unitTowards(Vector3 b) const { return (b - *this).normalized(); }
    double distanceSquared(Vector3 b) {
        dx = x - b.x;
        dy = y - b.y;
        dz = z - b.z;
        return dx * dx + dy * dy + dz * dz;
    }

    bool operator==(Vector3 b) const { return x == b.x && y == b.y && z == b.z; }

    // "(x,y,z)" on standard error, six significant digits, no line end.
    void print() const;
};
