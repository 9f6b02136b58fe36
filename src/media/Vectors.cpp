#include "media/Vectors.h"

#include <cmath>

namespace kelvarn {

float VectorLength(const TVector3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

float NormaliseVector(TVector3& v) {
    const float length = VectorLength(v);
    if (length != 0)
        for (float& c : v)
            c /= length;
    return length;
}

TVector3 SubtractVectors(const TVector3& a, const TVector3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

TVector3 AddVectors(const TVector3& a, const TVector3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }

TVector3 ScaleVector(const TVector3& v, float factor) { return {v[0] * factor, v[1] * factor, v[2] * factor}; }

TVector3 VectorTimesMatrix(const TVector3& v, const TMatrix3& m) {
    TVector3 out{};
    for (int j = 0; j < 3; ++j)
        out[j] = v[0] * m[j] + v[1] * m[3 + j] + v[2] * m[6 + j];
    return out;
}

TMatrix3 TransposeMatrix(const TMatrix3& m) { return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]}; }

TMatrix3 MatrixTimesMatrix(const TMatrix3& a, const TMatrix3& b) {
    TMatrix3 out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
    return out;
}

TMatrix3 QuaternionToMatrix(const TQuaternion& q) {
    const float x = q.X, y = q.Y, z = q.Z, w = q.W;
    const TMatrix3 m = {1 - 2 * y * y - 2 * z * z, 2 * x * y + 2 * z * w,     2 * x * z - 2 * y * w,
                        2 * x * y - 2 * z * w,     1 - 2 * x * x - 2 * z * z, 2 * y * z + 2 * x * w,
                        2 * x * z + 2 * y * w,     2 * y * z - 2 * x * w,     1 - 2 * x * x - 2 * y * y};
    return TransposeMatrix(m);
}

}  // namespace kelvarn
