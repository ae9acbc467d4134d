#pragma once

// A single-precision direction or displacement in world coordinates (Y up) that always
// carries its own Euclidean length, recomputed whenever a component changes.
class Vec3 {
public:
    Vec3() = default;
    Vec3(float x, float y, float z);
    Vec3(const Vec3&) = default;
    Vec3& operator=(const Vec3&) = default;
    virtual ~Vec3() = default;

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    void setX(float value);
    void setY(float value);
    void setZ(float value);

    float length() const { return cachedLength; } // as cached, never recomputed here

    Vec3 scaled(float factor) const;
    Vec3 plus(const Vec3& other) const;
    Vec3 minus(const Vec3& other) const;
    Vec3 cross(const Vec3& other) const;

    // Divides by the cached length; a zero vector stays as it is so no NaN reaches GL.
    void normalize();

    // Strictly inside on all three axes; a NaN component is never inside.
    bool isInsideBox(const Vec3& min, const Vec3& max) const;

private:
    void updateLength();

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float cachedLength = 0.0f;
};
