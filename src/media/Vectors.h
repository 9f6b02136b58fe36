// The 3-vector, 3 x 3 matrix and quaternion arithmetic of the mesh reader and the renderer, in 32-bit
// floats as the mesh files store them.
#pragma once

#include <array>

namespace kelvarn {

using TVector3 = std::array<float, 3>;
using TMatrix3 = std::array<float, 9>;  // by rows: m[row * 3 + column]

struct TQuaternion {
    float X = 0, Y = 0, Z = 0, W = 1;
};

inline constexpr TMatrix3 kIdentityMatrix = {1, 0, 0, 0, 1, 0, 0, 0, 1};

float VectorLength(const TVector3& v);
// Scales to length 1 and returns the old length; a zero vector is left as it is.
float NormaliseVector(TVector3& v);
TVector3 SubtractVectors(const TVector3& a, const TVector3& b);  // a - b
TVector3 AddVectors(const TVector3& a, const TVector3& b);
TVector3 ScaleVector(const TVector3& v, float factor);
// A row vector times a matrix: out[j] = sum over i of v[i] * m[i][j].
TVector3 VectorTimesMatrix(const TVector3& v, const TMatrix3& m);
TMatrix3 TransposeMatrix(const TMatrix3& m);
TMatrix3 MatrixTimesMatrix(const TMatrix3& a, const TMatrix3& b);  // a * b
// The rotation matrix of a unit quaternion (x, y, z, w), returned transposed; bones are applied by
// VectorTimesMatrix with it.
TMatrix3 QuaternionToMatrix(const TQuaternion& q);

}  // namespace kelvarn
