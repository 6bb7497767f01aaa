#include "figure.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {

// Body measurements in pixels.
const double kTorsoLen = 58, kNeckLen = 7, kHeadR = 13.2;
const double kUpperArm = 30, kForearm = 28;
const double kThigh = 46, kShin = 45;
const double kOutlineW = 1.7;

const RGB kBase[M_COUNT] = {
    {232, 170, 122}, // skin
    {46, 78, 150},   // gi top: deep blue
    {36, 52, 104},   // trousers: darker blue
    {226, 176, 48},  // belt: gold
    {206, 36, 36},   // headband: red
    {40, 30, 30},    // hair
    {236, 232, 220}, // hand wraps
    {30, 20, 24},    // eyes, brows
    {255, 150, 40},  // chi glow
    {220, 236, 255}, // speed streaks
};

struct Shape {
    bool poly = false;
    V2 a, b;
    double ra = 1, rb = 1;
    std::vector<V2> pts;
    int material = M_SKIN;
    double shade = 1.0;
    bool lit = true;
    bool glowing = false;
    bool hasClip = false;
    V2 clipA, clipB;
    double clipR = 0;
};

struct Layer {
    bool outline = true;
    std::vector<Shape> shapes;
};

Shape cap(V2 a, V2 b, double ra, double rb, int m, double shade = 1.0) {
    Shape s;
    s.a = a;
    s.b = b;
    s.ra = ra;
    s.rb = rb;
    s.material = m;
    s.shade = shade;
    return s;
}
Shape clipTo(Shape s, V2 a, V2 b, double r) {
    s.hasClip = true;
    s.clipA = a;
    s.clipB = b;
    s.clipR = r;
    return s;
}

double len(V2 v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}

// Distance from p to the segment ab and the parameter of the closest point.
double segDist(V2 p, V2 a, V2 b, double& t) {
    V2 ab = b - a, ap = p - a;
    double l2 = ab.x * ab.x + ab.y * ab.y;
    t = l2 > 0 ? clampd((ap.x * ab.x + ap.y * ab.y) / l2, 0.0, 1.0) : 0.0;
    return len(p - lerp(a, b, t));
}

bool insidePoly(const std::vector<V2>& pts, V2 p) {
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        if ((pts[i].y > p.y) != (pts[j].y > p.y)) {
            double x = pts[j].x + (p.y - pts[j].y) * (pts[i].x - pts[j].x) / (pts[i].y - pts[j].y);
            if (p.x < x) in = !in;
        }
    }
    return in;
}

// Signed-ish coverage: returns the distance outside the shape's edge (<= 0 inside)
// and fills the surface normal for shading.
double shapeEdge(const Shape& s, V2 p, double& nx, double& ny) {
    if (s.poly) {
        double best = 1e9, t;
        for (size_t i = 0, j = s.pts.size() - 1; i < s.pts.size(); j = i++)
            best = std::min(best, segDist(p, s.pts[j], s.pts[i], t));
        nx = ny = 0;
        return insidePoly(s.pts, p) ? -best : best;
    }
    double t;
    double d = segDist(p, s.a, s.b, t);
    double r = s.ra + (s.rb - s.ra) * t;
    V2 c = lerp(s.a, s.b, t);
    nx = r > 0 ? (p.x - c.x) / r : 0;
    ny = r > 0 ? (p.y - c.y) / r : 0;
    return d - r;
}

bool clipOk(const Shape& s, V2 p) {
    if (!s.hasClip) return true;
    double t;
    return segDist(p, s.clipA, s.clipB, t) <= s.clipR;
}

void shapeBounds(const Shape& s, double grow, double& x1, double& y1, double& x2, double& y2) {
    if (s.poly) {
        x1 = y1 = 1e9;
        x2 = y2 = -1e9;
        for (V2 p : s.pts) {
            x1 = std::min(x1, p.x);
            y1 = std::min(y1, p.y);
            x2 = std::max(x2, p.x);
            y2 = std::max(y2, p.y);
        }
    } else {
        x1 = std::min(s.a.x - s.ra, s.b.x - s.rb);
        y1 = std::min(s.a.y - s.ra, s.b.y - s.rb);
        x2 = std::max(s.a.x + s.ra, s.b.x + s.rb);
        y2 = std::max(s.a.y + s.ra, s.b.y + s.rb);
    }
    x1 -= grow;
    y1 -= grow;
    x2 += grow;
    y2 += grow;
}

int shadeFor(const Shape& s, double nx, double ny, double edge) {
    if (s.glowing) {
        // bright core fading to the rim
        double r = s.ra > 0 ? clampd(1.0 + edge / s.ra, 0.0, 1.0) : 1.0;
        return clampi(static_cast<int>(15.0 - r * 9.0), 0, kShades - 1);
    }
    double intensity;
    if (!s.lit) {
        intensity = 1.0;
    } else {
        double n2 = nx * nx + ny * ny;
        double nz = n2 < 1.0 ? std::sqrt(1.0 - n2) : 0.0;
        const double lx = -0.45, ly = -0.62, lz = 0.64;
        double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
        double bands = std::floor(diffuse * 5.0 + 0.5) / 5.0; // cel bands
        intensity = 0.42 + 0.72 * bands;
    }
    intensity *= s.shade;
    return clampi(static_cast<int>(intensity * 10.0 + 0.5), 0, kShades - 1);
}

void paint(Indexed& img, const std::vector<Layer>& layers) {
    for (const Layer& layer : layers) {
        for (int pass = layer.outline ? 0 : 1; pass < 2; ++pass) {
            for (const Shape& s : layer.shapes) {
                double grow = pass == 0 ? kOutlineW : 0.0;
                double x1, y1, x2, y2;
                shapeBounds(s, grow + 1, x1, y1, x2, y2);
                int ix1 = clampi(static_cast<int>(std::floor(x1)), 0, img.w - 1);
                int iy1 = clampi(static_cast<int>(std::floor(y1)), 0, img.h - 1);
                int ix2 = clampi(static_cast<int>(std::ceil(x2)), 0, img.w - 1);
                int iy2 = clampi(static_cast<int>(std::ceil(y2)), 0, img.h - 1);
                for (int y = iy1; y <= iy2; ++y)
                    for (int x = ix1; x <= ix2; ++x) {
                        V2 p{x + 0.5, y + 0.5};
                        double nx, ny;
                        double edge = shapeEdge(s, p, nx, ny);
                        if (edge > grow || !clipOk(s, p)) continue;
                        if (pass == 0)
                            img.at(x, y) = kOutlineIndex;
                        else
                            img.at(x, y) = static_cast<uint8_t>(
                                paletteIndex(s.material, shadeFor(s, nx, ny, edge)));
                    }
            }
        }
    }
}

struct Joints {
    V2 pelvis, neck, headC, up, fwd;
    double headAngle = 0;
    V2 nS, nE, nW, fS, fE, fW; // shoulders, elbows, wrists
    V2 nH, nK, nA, fH, fK, fA; // hips, knees, ankles
    double nFA = 0, fFA = 0, nFt = 0, fFt = 0;
};

V2 footPoint(V2 ankle, double footAngle, double along, double down) {
    V2 d = dirDeg(footAngle);
    V2 n{-d.y, d.x}; // "down" side of a forward-pointing foot
    return ankle + d * along + n * down;
}

Joints solve(const Pose& p) {
    Joints j;
    V2 P{0, 0};
    j.up = dirDeg(180 - p.torso);
    j.fwd = {-j.up.y, j.up.x};
    j.pelvis = P;
    j.neck = P + j.up * kTorsoLen;
    j.headAngle = p.torso + p.head;
    V2 headUp = dirDeg(180 - j.headAngle);
    j.headC = j.neck + headUp * (kNeckLen + kHeadR - 1);
    j.nS = j.neck - j.up * 8 + j.fwd * 3;
    j.fS = j.neck - j.up * 9 - j.fwd * 6;
    j.nE = j.nS + dirDeg(p.nUA) * kUpperArm;
    j.nW = j.nE + dirDeg(p.nFA) * kForearm;
    j.fE = j.fS + dirDeg(p.fUA) * kUpperArm;
    j.fW = j.fE + dirDeg(p.fFA) * kForearm;
    j.nH = P - j.up * 4 + j.fwd * 5;
    j.fH = P - j.up * 4 - j.fwd * 5;
    j.nK = j.nH + dirDeg(p.nTh) * kThigh;
    j.nA = j.nK + dirDeg(p.nSh) * kShin;
    j.fK = j.fH + dirDeg(p.fTh) * kThigh;
    j.fA = j.fK + dirDeg(p.fSh) * kShin;
    j.nFA = p.nFA;
    j.fFA = p.fFA;
    j.nFt = p.nFt;
    j.fFt = p.fFt;
    // whole-body spin about the pelvis
    if (p.spin != 0) {
        V2* pts[] = {&j.neck, &j.headC, &j.nS, &j.nE, &j.nW, &j.fS, &j.fE,
                     &j.fW,   &j.nH,    &j.nK, &j.nA, &j.fH, &j.fK, &j.fA};
        for (V2* q : pts)
            *q = rotate(*q, p.spin);
        j.up = rotate(j.up, p.spin);
        j.fwd = rotate(j.fwd, p.spin);
        j.headAngle += p.spin;
        j.nFA += p.spin;
        j.fFA += p.spin;
        j.nFt += p.spin;
        j.fFt += p.spin;
    }
    return j;
}

void translate(Joints& j, V2 d) {
    V2* pts[] = {&j.pelvis, &j.neck, &j.headC, &j.nS, &j.nE, &j.nW, &j.fS, &j.fE,
                 &j.fW,     &j.nH,   &j.nK,    &j.nA, &j.fH, &j.fK, &j.fA};
    for (V2* q : pts)
        *q = *q + d;
}

double soleY(V2 ankle, double footAngle) {
    double y = -1e9;
    y = std::max(y, footPoint(ankle, footAngle, -4, 3).y + 5.0);
    y = std::max(y, footPoint(ankle, footAngle, 14, 3.5).y + 3.5);
    return y;
}

V2 fistCentre(V2 wrist, double foreAngle) {
    return wrist + dirDeg(foreAngle) * 5.5;
}
V2 toeTip(V2 ankle, double footAngle) {
    return footPoint(ankle, footAngle, 17, 3.5);
}

// The joints of a pose placed in the frame: grounded poses stand with the
// lowest sole on the floor, airborne ones hang at their lift.
Joints placedJoints(const Pose& pose) {
    Joints j = solve(pose);
    V2 origin{kAnchorX + pose.px, 0};
    if (pose.grounded) {
        double lowest = std::max(soleY(j.nA, j.nFt), soleY(j.fA, j.fFt));
        origin.y = kAnchorY - lowest;
    } else {
        origin.y = kAnchorY - pose.lift;
    }
    translate(j, origin);
    return j;
}

Pose between(const Pose& a, const Pose& b, double t) {
    auto mix = [t](double x, double y) { return x + (y - x) * t; };
    Pose p = b;
    p.px = mix(a.px, b.px);
    p.lift = mix(a.lift, b.lift);
    p.torso = mix(a.torso, b.torso);
    p.head = mix(a.head, b.head);
    p.spin = mix(a.spin, b.spin);
    p.nUA = mix(a.nUA, b.nUA);
    p.nFA = mix(a.nFA, b.nFA);
    p.fUA = mix(a.fUA, b.fUA);
    p.fFA = mix(a.fFA, b.fFA);
    p.nTh = mix(a.nTh, b.nTh);
    p.nSh = mix(a.nSh, b.nSh);
    p.nFt = mix(a.nFt, b.nFt);
    p.fTh = mix(a.fTh, b.fTh);
    p.fSh = mix(a.fSh, b.fSh);
    p.fFt = mix(a.fFt, b.fFt);
    return p;
}

// The end of the striking limb: the tip (fist or toe) and the joint that
// starts its last segment (elbow or knee).
void limbEnd(const Joints& j, Limb limb, V2& tip, V2& root) {
    switch (limb) {
    case NEAR_ARM:
        tip = fistCentre(j.nW, j.nFA);
        root = j.nE;
        break;
    case FAR_ARM:
        tip = fistCentre(j.fW, j.fFA);
        root = j.fE;
        break;
    case NEAR_LEG:
        tip = toeTip(j.nA, j.nFt);
        root = j.nK;
        break;
    default:
        tip = toeTip(j.fA, j.fFt);
        root = j.fK;
        break;
    }
}

// A motion smear: the band the end of the striking limb sweeps between the
// previous pose and this one, found by moving the joints from one pose to the
// other.  It is a layer of unoutlined bands, thin and dim at the tail, full
// and bright where it meets the limb; empty when the limb hardly moved.
Layer smear(const Pose& from, const Pose& to, Limb limb) {
    Layer out;
    out.outline = false;
    V2 root;
    auto tipAt = [&](double t) {
        V2 tip;
        limbEnd(placedJoints(between(from, to, t)), limb, tip, root);
        return tip;
    };
    // How far the tip travels from the previous pose to this one.  A short
    // step is a held blow: no smear.  A short thrust gets its path carried
    // back along the same joint motion, so the smear shows where it came from.
    const int kSteps = 16;
    double travel = 0;
    for (int i = 1; i <= kSteps; ++i)
        travel += len(tipAt(static_cast<double>(i) / kSteps) - tipAt((i - 1.0) / kSteps));
    if (travel < 40) return out;
    const double wanted = 80;
    double start = travel < wanted ? -std::min(0.8, (wanted - travel) / travel) : 0.0;

    const double width = limb == NEAR_LEG || limb == FAR_LEG ? 26.0 : 18.0;
    std::vector<V2> outer, inner;
    for (int i = 0; i <= kSteps; ++i) {
        double u = static_cast<double>(i) / kSteps; // 0 at the tail, 1 at the limb
        V2 tip = tipAt(start + (1.0 - start) * u);
        V2 in = root - tip;
        double l = len(in);
        if (l < 1) return Layer{false, {}};
        in = in * (1.0 / l);
        double w = std::min(width * (0.1 + 0.9 * std::min(1.0, u / 0.7)), l);
        outer.push_back(tip - in * (0.3 * w));
        inner.push_back(tip + in * w);
    }
    for (int i = 0; i < kSteps; ++i) {
        double u = (i + 0.5) / kSteps;
        if (u < 0.1) continue; // the tail fades out before the old tip
        Shape s;
        s.poly = true;
        s.material = M_STREAK;
        s.lit = false;
        s.shade = 0.45 + 0.75 * u;
        s.pts = {outer[i], outer[i + 1], inner[i + 1], inner[i]};
        out.shapes.push_back(s);
    }
    return out;
}

struct Built {
    std::vector<Layer> layers;
    Drawn drawn;
};

void growBox(double& x1, double& y1, double& x2, double& y2, const Shape& s) {
    double a, b, c, d;
    shapeBounds(s, kOutlineW, a, b, c, d);
    x1 = std::min(x1, a);
    y1 = std::min(y1, b);
    x2 = std::max(x2, c);
    y2 = std::max(y2, d);
}

Box toBox(double x1, double y1, double x2, double y2) {
    Box b;
    b.x1 = clampi(static_cast<int>(std::floor(x1)), 0, kFrameW - 1);
    b.y1 = clampi(static_cast<int>(std::floor(y1)), 0, kFrameH - 1);
    b.x2 = clampi(static_cast<int>(std::ceil(x2)), 0, kFrameW - 1);
    b.y2 = clampi(static_cast<int>(std::ceil(y2)), 0, kFrameH - 1);
    return b;
}

void armLayers(std::vector<Layer>& out, V2 S, V2 E, V2 W, double foreAngle, Hand hand, double shade,
               std::vector<Shape>& handShapes) {
    Layer arm;
    arm.shapes.push_back(cap(S, E, 8.0, 6.6, M_SKIN, shade));
    arm.shapes.push_back(cap(E, W, 6.8, 5.3, M_SKIN, shade));
    out.push_back(arm);
    Layer sleeve;
    sleeve.shapes.push_back(cap(S, lerp(S, E, 0.42), 9.8, 8.6, M_GI, shade));
    out.push_back(sleeve);
    Layer hl;
    V2 d = dirDeg(foreAngle);
    hl.shapes.push_back(cap(W - d * 6, W + d * 1, 6.0, 6.0, M_WRAP, shade));
    if (hand == FIST) {
        hl.shapes.push_back(cap(W + d * 4.5, W + d * 6.5, 7.2, 7.2, M_SKIN, shade));
    } else {
        hl.shapes.push_back(cap(W + d * 2, W + d * 12, 5.6, 4.4, M_SKIN, shade));
        V2 side{-d.y, d.x};
        hl.shapes.push_back(
            cap(W + d * 3 - side * 4, W + d * 8 - side * 6, 2.6, 2.2, M_SKIN, shade));
    }
    handShapes = hl.shapes;
    out.push_back(hl);
}

void legLayers(std::vector<Layer>& out, V2 H, V2 K, V2 A, double footAngle, double shade,
               std::vector<Shape>& footShapes) {
    Layer foot;
    foot.shapes.push_back(cap(footPoint(A, footAngle, -4, 3), footPoint(A, footAngle, 14, 3.5), 5.0,
                              3.5, M_SKIN, shade));
    foot.shapes.push_back(cap(A, A, 5.5, 5.5, M_SKIN, shade));
    footShapes = foot.shapes;
    out.push_back(foot);
    Layer leg;
    leg.shapes.push_back(cap(H, K, 12.5, 10.0, M_PANTS, shade));
    leg.shapes.push_back(cap(K, A - (A - K) * (1.0 / kShin) * 2.0, 10.0, 8.8, M_PANTS, shade));
    out.push_back(leg);
}

// The trousers at the hips, the gi top, its open collar and the belt with its
// knot and hanging ends.  hips and top are the shapes the body box spans.
void torsoLayers(std::vector<Layer>& L, const Joints& j, Shape& hips, Shape& top) {
    Layer torso;
    hips = cap(j.fH, j.nH, 13.0, 13.0, M_PANTS);
    torso.shapes.push_back(hips);
    V2 waist = j.pelvis + j.up * 5, chest = j.neck - j.up * 11;
    top = cap(waist, chest, 14.5, 17.5, M_GI);
    torso.shapes.push_back(top);
    L.push_back(torso);

    // open collar showing the chest
    Layer collar;
    Shape v;
    v.poly = true;
    v.material = M_SKIN;
    v.pts = {j.neck - j.up * 1 + j.fwd * 1, j.neck - j.up * 4 + j.fwd * 17,
             j.neck - j.up * 24 + j.fwd * 9};
    collar.shapes.push_back(clipTo(v, waist, chest, 16.8));
    L.push_back(collar);

    Layer belt;
    V2 bc = j.pelvis + j.up * 9;
    belt.shapes.push_back(
        clipTo(cap(bc - j.fwd * 16, bc + j.fwd * 16, 3.8, 3.8, M_BELT), waist, chest, 15.8));
    V2 knot = bc + j.fwd * 11;
    belt.shapes.push_back(cap(knot, knot - j.up * 17 + j.fwd * 4, 2.6, 2.2, M_BELT));
    belt.shapes.push_back(cap(knot, knot - j.up * 14 - j.fwd * 3, 2.6, 2.2, M_BELT));
    belt.shapes.push_back(cap(knot, knot, 3.6, 3.6, M_BELT));
    L.push_back(belt);
}

// Points on the head, in its own turned frame: x forward, y down from the
// centre of the skull.
struct HeadFrame {
    V2 centre;
    double angle;
    V2 at(double x, double y) const { return centre + rotate(V2{x, y}, angle); }
};

// The hair, the headband and its tails.
Layer hairLayer(const HeadFrame& h, double tails) {
    const V2 H = h.centre;
    Layer hair;
    hair.shapes.push_back(
        cap(h.at(-11, -5.5), h.at(-11, -5.5) + dirDeg(tails) * 15, 2.6, 1.6, M_BAND));
    hair.shapes.push_back(
        cap(h.at(-11, -4.5), h.at(-11, -4.5) + dirDeg(tails + 18) * 12, 2.4, 1.4, M_BAND));
    hair.shapes.push_back(
        clipTo(cap(h.at(-7, -10), h.at(-2, -12), 9.5, 9.5, M_HAIR), H, H, kHeadR + 1.8));
    hair.shapes.push_back(cap(h.at(-9, -8), h.at(-17, -4), 5.0, 2.0, M_HAIR));
    hair.shapes.push_back(cap(h.at(-2, -12), h.at(-8, -17), 4.5, 1.5, M_HAIR));
    hair.shapes.push_back(cap(h.at(4, -11), h.at(3, -17), 4.0, 1.2, M_HAIR));
    hair.shapes.push_back(
        clipTo(cap(h.at(-13, -5.5), h.at(13, -10), 2.5, 2.5, M_BAND), H, H, kHeadR + 1.6));
    return hair;
}

// The eye (shut in a blink), the brow, the mouth (open in a shout) and the
// shaded ear, without outlines.
Layer faceLayer(const HeadFrame& h, const Pose& pose) {
    Layer face;
    face.outline = false;
    if (pose.blink)
        face.shapes.push_back(cap(h.at(6.0, 0.6), h.at(9.4, 0.6), 0.8, 0.8, M_DARK));
    else
        face.shapes.push_back(cap(h.at(7.0, 0.2), h.at(8.6, 0.2), 1.5, 1.5, M_DARK));
    face.shapes.push_back(cap(h.at(4.6, -3.2), h.at(10.8, -2.6), 0.9, 0.9, M_DARK));
    if (pose.shout)
        face.shapes.push_back(cap(h.at(8.4, 6.6), h.at(9.4, 8.4), 1.9, 1.6, M_DARK));
    else
        face.shapes.push_back(cap(h.at(8.2, 7.6), h.at(10.6, 7.0), 0.6, 0.6, M_DARK));
    face.shapes.push_back(cap(h.at(-1.5, 1.5), h.at(-1.5, 1.5), 3.2, 3.2, M_SKIN, 0.8));
    for (Shape& s : face.shapes)
        s.lit = s.material == M_SKIN;
    return face;
}

// The neck and head, the hair and the face; returns the head's shapes, which
// the body box spans.
std::vector<Shape> headLayers(std::vector<Layer>& L, const Joints& j, const Pose& pose) {
    const HeadFrame h{j.headC, j.headAngle};
    const V2 H = j.headC;
    Layer head;
    head.shapes.push_back(cap(j.neck - j.up * 3, j.neck + (H - j.neck) * 0.5, 6.8, 6.0, M_SKIN));
    head.shapes.push_back(cap(H, H, kHeadR, kHeadR, M_SKIN));
    head.shapes.push_back(cap(h.at(2, 3), h.at(5, 7.5), 8.5, 7.0, M_SKIN));
    head.shapes.push_back(cap(h.at(11, -1), h.at(12.5, 1.5), 2.4, 2.0, M_SKIN));
    L.push_back(head);
    L.push_back(hairLayer(h, pose.tails));
    L.push_back(faceLayer(h, pose));
    return head.shapes;
}

// The chi ball by the near hand and the impact star before the chest, when
// the pose has them.
void effectLayers(std::vector<Layer>& L, const Joints& j, const Pose& pose, V2 nearHand) {
    if (pose.glow > 0) {
        Layer g;
        g.outline = false;
        V2 c = nearHand + pose.glowAt;
        Shape s = cap(c, c, pose.glow, pose.glow, pose.coolGlow ? M_STREAK : M_GLOW);
        s.glowing = true;
        g.shapes.push_back(s);
        L.push_back(g);
    }
    if (pose.burst > 0) {
        Layer star;
        Shape s;
        s.poly = true;
        s.material = M_GLOW;
        s.lit = false;
        s.shade = 1.35;
        V2 c = j.neck - j.up * 14 + j.fwd * pose.burstFwd;
        for (int k = 0; k < 16; ++k) {
            double r = (k % 2 == 0 ? pose.burst : pose.burst * 0.45) * (k % 4 == 0 ? 1.0 : 0.8);
            s.pts.push_back(c + dirDeg(k * 22.5 + 11) * r);
        }
        star.shapes.push_back(s);
        Shape core = cap(c, c, pose.burst * 0.3, pose.burst * 0.3, M_STREAK);
        core.lit = false;
        star.shapes.push_back(core);
        L.push_back(star);
    }
}

// The shapes the boxes are measured from.
struct BoxShapes {
    std::vector<Shape> head, nearHand, farHand, nearFoot, farFoot;
    Shape top, hips;
};

// The collision box: across the head, torso and hips, from the top of the
// head to the lowest point of the body.
Box bodyBox(const BoxShapes& s) {
    double x1 = 1e9, y1 = 1e9, x2 = -1e9, y2 = -1e9;
    for (const Shape& h : s.head)
        growBox(x1, y1, x2, y2, h);
    growBox(x1, y1, x2, y2, s.top);
    growBox(x1, y1, x2, y2, s.hips);
    double ly1 = 1e9, ly2 = -1e9, lx1 = 1e9, lx2 = -1e9;
    for (const Shape& f : s.nearFoot)
        growBox(lx1, ly1, lx2, ly2, f);
    for (const Shape& f : s.farFoot)
        growBox(lx1, ly1, lx2, ly2, f);
    y2 = std::max(y2, ly2);
    return toBox(x1 + 2, y1, x2 - 2, y2);
}

// The damage box: the striking fist or foot with the end of the limb.
Box strikeBox(const BoxShapes& s, const Joints& j, Limb strike) {
    double sx1 = 1e9, sy1 = 1e9, sx2 = -1e9, sy2 = -1e9;
    switch (strike) {
    case NEAR_ARM:
    case FAR_ARM:
        for (const Shape& h : strike == NEAR_ARM ? s.nearHand : s.farHand)
            growBox(sx1, sy1, sx2, sy2, h);
        break;
    case NEAR_LEG:
    case FAR_LEG: {
        bool nearLeg = strike == NEAR_LEG;
        for (const Shape& f : nearLeg ? s.nearFoot : s.farFoot)
            growBox(sx1, sy1, sx2, sy2, f);
        V2 K = nearLeg ? j.nK : j.fK, A = nearLeg ? j.nA : j.fA;
        growBox(sx1, sy1, sx2, sy2, cap(lerp(K, A, 0.55), A, 9.2, 8.8, M_PANTS));
        break;
    }
    default:
        sx1 = sy1 = sx2 = sy2 = 0;
    }
    return toBox(sx1, sy1, sx2, sy2);
}

// The pose's layers, back to front (the far limbs, the body, the head, the
// near limbs, the effects), and its boxes.
Built build(const Pose& pose, const Pose* prevPose) {
    Joints j = placedJoints(pose);
    Built b;
    std::vector<Layer>& L = b.layers;
    const double farShade = 0.78;

    V2 nFist = pose.nHand == FIST ? fistCentre(j.nW, j.nFA) : j.nW + dirDeg(j.nFA) * 9;
    V2 fFist = pose.fHand == FIST ? fistCentre(j.fW, j.fFA) : j.fW + dirDeg(j.fFA) * 9;
    b.drawn.nearHand = nFist;
    b.drawn.farHand = fFist;
    b.drawn.nearToe = toeTip(j.nA, j.nFt);
    b.drawn.farToe = toeTip(j.fA, j.fFt);

    // a motion smear behind the striking limb
    if (prevPose && pose.strike != NO_LIMB) L.push_back(smear(*prevPose, pose, pose.strike));

    BoxShapes s;
    armLayers(L, j.fS, j.fE, j.fW, j.fFA, pose.fHand, farShade, s.farHand);
    legLayers(L, j.fH, j.fK, j.fA, j.fFt, farShade, s.farFoot);
    torsoLayers(L, j, s.hips, s.top);
    s.head = headLayers(L, j, pose);
    legLayers(L, j.nH, j.nK, j.nA, j.nFt, 1.0, s.nearFoot);
    armLayers(L, j.nS, j.nE, j.nW, j.nFA, pose.nHand, 1.0, s.nearHand);
    effectLayers(L, j, pose, nFist);

    b.drawn.body = bodyBox(s);
    b.drawn.strike = strikeBox(s, j, pose.strike);
    return b;
}

} // namespace

int paletteIndex(int material, int shade) {
    return 2 + material * kShades + clampi(shade, 0, kShades - 1);
}

namespace {

// Player 2's clothes in a versus match: a crimson gi and trousers, and a
// blue headband; skin, hair, belt and wraps stay.
const RGB kSecondBase[M_COUNT] = {
    kBase[M_SKIN], {168, 40, 44}, {112, 30, 36}, kBase[M_BELT], {40, 92, 206},
    kBase[M_HAIR], kBase[M_WRAP], kBase[M_DARK], kBase[M_GLOW], kBase[M_STREAK],
};

} // namespace

void fighterPalette(std::vector<RGB>& pal) {
    fighterPaletteOf(kBase, pal);
}

std::vector<std::pair<RGB, RGB>> secondPaletteSwaps() {
    std::vector<RGB> first, second;
    fighterPalette(first);
    fighterPaletteOf(kSecondBase, second);
    std::vector<std::pair<RGB, RGB>> swaps;
    for (size_t i = 0; i < first.size(); ++i) {
        if (first[i] == second[i]) continue;
        const bool listed =
            std::any_of(swaps.begin(), swaps.end(),
                        [&](const std::pair<RGB, RGB>& s) { return s.first == first[i]; });
        if (!listed) swaps.push_back({first[i], second[i]});
    }
    return swaps;
}

void fighterPaletteOf(const RGB* bases, std::vector<RGB>& pal) {
    pal.assign(256, RGB{0, 0, 0});
    pal[0] = {255, 0, 255};
    pal[kOutlineIndex] = {22, 16, 26};
    for (int m = 0; m < M_COUNT; ++m)
        for (int k = 0; k < kShades; ++k) {
            double f = k / 10.0;
            RGB base = bases[m];
            auto ch = [f](int c) {
                double v = f <= 1.0 ? c * (0.12 + 0.88 * f) : c + (255 - c) * (f - 1.0) * 1.4;
                return static_cast<uint8_t>(clampi(static_cast<int>(v + 0.5), 0, 255));
            };
            RGB c{ch(base.r), ch(base.g), ch(base.b)};
            if (c == RGB{255, 0, 255}) c.g = 1; // never the colour key
            pal[paletteIndex(m, k)] = c;
        }
    // unused entries stay black, never the key
}

Drawn drawFighter(Indexed& img, const Pose& pose, const Pose* prevPose) {
    Built b = build(pose, prevPose);
    paint(img, b.layers);
    return b.drawn;
}

Drawn measureFighter(const Pose& pose) {
    return build(pose, nullptr).drawn;
}

V2 strikeTip(const Drawn& d, Limb limb) {
    switch (limb) {
    case NEAR_ARM:
        return d.nearHand;
    case FAR_ARM:
        return d.farHand;
    case NEAR_LEG:
        return d.nearToe;
    case FAR_LEG:
        return d.farToe;
    default:
        return {0, 0};
    }
}

} // namespace gen
