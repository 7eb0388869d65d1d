#!/usr/bin/env python3
"""Writes resources/helicopter.obj, the model of the 3D view on the Test tab.

Model axes: the nose points along +z, the top along +y, the left side along +x. The
model is centred on its length so that, scaled by 5 and seen from 10 units away with a
50 degree field of view, it fits the view in every heading. Materials are named only;
the view gives each name its colour.

    tools/make-helicopter-obj.py > resources/helicopter.obj
"""
import math

out = []
verts = []
norms = []


def v(p):
    verts.append(p)
    return len(verts)


def vn(n):
    length = math.sqrt(sum(c * c for c in n)) or 1.0
    norms.append(tuple(c / length for c in n))
    return len(norms)


faces = []  # (material, [(vi, ni), ...])


def face(material, corners):
    faces.append((material, corners))


def quad_flat(material, a, b, c, d):
    """A flat quad a-b-c-d, counter-clockwise seen from outside."""
    ux, uy, uz = (b[i] - a[i] for i in range(3))
    wx, wy, wz = (d[i] - a[i] for i in range(3))
    n = vn((uy * wz - uz * wy, uz * wx - ux * wz, ux * wy - uy * wx))
    face(material, [(v(p), n) for p in (a, b, c, d)])


def box(material, lo, hi):
    x0, y0, z0 = lo
    x1, y1, z1 = hi
    p = [(x, y, z) for x in (x0, x1) for y in (y0, y1) for z in (z0, z1)]
    # index = 4*ix + 2*iy + iz
    sides = [
        (0, 1, 3, 2),  # -x
        (4, 6, 7, 5),  # +x
        (0, 4, 5, 1),  # -y
        (2, 3, 7, 6),  # +y
        (0, 2, 6, 4),  # -z
        (1, 5, 7, 3),  # +z
    ]
    for s in sides:
        quad_flat(material, *(p[i] for i in s))


def rotate_y(p, angle):
    c, s = math.cos(angle), math.sin(angle)
    x, y, z = p
    return (x * c + z * s, y, -x * s + z * c)


def blade(material, hub, length, width, thickness, angle, start=0.0):
    """A flat rotor blade from the hub outwards in the x-z plane, turned by angle."""
    x0, x1 = start, length
    corners = [(x, y, z) for x in (x0, x1) for y in (-thickness / 2, thickness / 2)
               for z in (-width / 2, width / 2)]
    moved = [tuple(h + c for h, c in zip(hub, rotate_y(p, angle))) for p in corners]
    sides = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
    for s in sides:
        quad_flat(material, *(moved[i] for i in s))


def ellipsoid(centre, radii, rings, segments, material_of):
    """Smooth ellipsoid; material_of(normal) chooses the material of each face."""
    cx, cy, cz = centre
    rx, ry, rz = radii
    grid = []
    for i in range(rings + 1):
        theta = math.pi * i / rings  # from +y down to -y
        row = []
        for j in range(segments):
            phi = 2 * math.pi * j / segments
            ux = math.sin(theta) * math.cos(phi)
            uy = math.cos(theta)
            uz = math.sin(theta) * math.sin(phi)
            p = (cx + rx * ux, cy + ry * uy, cz + rz * uz)
            n = (ux / rx, uy / ry, uz / rz)
            row.append((v(p), vn(n), n))
        grid.append(row)
    for i in range(rings):
        for j in range(segments):
            a = grid[i][j]
            b = grid[i][(j + 1) % segments]
            c = grid[i + 1][(j + 1) % segments]
            d = grid[i + 1][j]
            mid = tuple(sum(k[2][m] for k in (a, b, c, d)) for m in range(3))
            material = material_of(mid)
            # outward: counter-clockwise seen from outside
            face(material, [(a[0], a[1]), (b[0], b[1]), (c[0], c[1]), (d[0], d[1])])


def tube(material, p0, p1, r0, r1, segments, caps=True):
    """A tapered cylinder from p0 (radius r0) to p1 (radius r1)."""
    axis = tuple(b - a for a, b in zip(p0, p1))
    length = math.sqrt(sum(c * c for c in axis))
    ax = tuple(c / length for c in axis)
    helper = (0, 1, 0) if abs(ax[1]) < 0.9 else (1, 0, 0)
    # e1 = helper x ax, e2 = ax x e1
    e1 = (helper[1] * ax[2] - helper[2] * ax[1], helper[2] * ax[0] - helper[0] * ax[2],
          helper[0] * ax[1] - helper[1] * ax[0])
    l1 = math.sqrt(sum(c * c for c in e1))
    e1 = tuple(c / l1 for c in e1)
    e2 = (ax[1] * e1[2] - ax[2] * e1[1], ax[2] * e1[0] - ax[0] * e1[2], ax[0] * e1[1] - ax[1] * e1[0])
    slope = (r0 - r1) / length
    ring0, ring1 = [], []
    for j in range(segments):
        phi = 2 * math.pi * j / segments
        d = tuple(math.cos(phi) * a + math.sin(phi) * b for a, b in zip(e1, e2))
        n = vn(tuple(dc + slope * ac for dc, ac in zip(d, ax)))
        ring0.append((v(tuple(p + r0 * dc for p, dc in zip(p0, d))), n))
        ring1.append((v(tuple(p + r1 * dc for p, dc in zip(p1, d))), n))
    for j in range(segments):
        k = (j + 1) % segments
        face(material, [ring0[j], ring0[k], ring1[k], ring1[j]])
    if caps:
        n0 = vn(tuple(-c for c in ax))
        n1 = vn(ax)
        face(material, [(ring0[j][0], n0) for j in reversed(range(segments))])
        face(material, [(ring1[j][0], n1) for j in range(segments)])


# Cabin: a smooth egg with a tinted canopy over the front and top.
ellipsoid((0.0, 0.0, 0.30), (0.19, 0.20, 0.32), 12, 20,
          lambda n: "glass" if n[2] > 0.35 and n[1] > -0.25 else "body")
# Engine housing behind the rotor mast.
box("body", (-0.09, 0.12, -0.06), (0.09, 0.21, 0.24))
# Tail boom, rising slightly towards the tail.
tube("body", (0.0, 0.06, 0.02), (0.0, 0.13, -0.64), 0.065, 0.028, 12)
# Vertical fin and horizontal stabiliser.
box("body", (-0.012, 0.10, -0.70), (0.012, 0.32, -0.58))
box("body", (-0.16, 0.10, -0.50), (0.16, 0.115, -0.43))
# Tail rotor on the left side of the fin: hub and two crossed blades in the y-z plane.
tube("metal", (0.012, 0.21, -0.64), (0.045, 0.21, -0.64), 0.018, 0.018, 8)
for angle in (0.35, 0.35 + math.pi / 2):
    c, s = math.cos(angle), math.sin(angle)
    hub = (0.04, 0.21, -0.64)
    half = 0.11
    along = (0.0, s * half, c * half)
    across = (0.0, -c * 0.018, s * 0.018)
    a = tuple(h - l - w for h, l, w in zip(hub, along, across))
    b = tuple(h + l - w for h, l, w in zip(hub, along, across))
    d = tuple(h - l + w for h, l, w in zip(hub, along, across))
    cc = tuple(h + l + w for h, l, w in zip(hub, along, across))
    # a thin plate: both faces
    quad_flat("rotor", a, b, cc, d)
    quad_flat("rotor", d, cc, b, a)
# Rotor mast, hub and four blades.
tube("metal", (0.0, 0.19, 0.28), (0.0, 0.26, 0.28), 0.025, 0.02, 10)
tube("metal", (0.0, 0.25, 0.28), (0.0, 0.275, 0.28), 0.05, 0.05, 12)
for k in range(4):
    blade("rotor", (0.0, 0.262, 0.28), 0.52, 0.055, 0.012, math.pi / 4 + k * math.pi / 2, 0.03)
# Skids with upturned fronts, each on two struts.
for side in (-1, 1):
    x = side * 0.17
    tube("metal", (x, -0.28, -0.02), (x, -0.28, 0.50), 0.016, 0.016, 8)
    tube("metal", (x, -0.28, 0.50), (x, -0.22, 0.60), 0.016, 0.016, 8)
    for z in (0.08, 0.44):
        tube("metal", (x, -0.28, z), (side * 0.10, -0.13, z), 0.012, 0.012, 6, caps=False)

out.append("# Small helicopter for the Test tab's 3D view.")
out.append("# Nose along +z, top along +y; about 1.3 units long, rotor 1.1 units across.")
out.append("o helicopter")
# Built in convenient units, then scaled and moved so that the model sits centred on
# its length and a little low on its origin (the tail fin comes closest to the top of
# the view when the tail faces the camera).
SCALE, LIFT, SHIFT = 0.82, -0.06, 0.04
for x, y, z in verts:
    out.append("v %.4f %.4f %.4f" % (x * SCALE, (y + LIFT) * SCALE, (z + SHIFT) * SCALE))
for n in norms:
    out.append("vn %.4f %.4f %.4f" % n)
current = None
for material, corners in faces:
    if material != current:
        out.append("usemtl " + material)
        current = material
    out.append("f " + " ".join("%d//%d" % c for c in corners))
print("\n".join(out))
