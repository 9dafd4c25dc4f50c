package Mapfeed::Dgn;
# Byte layout of 2D design file (ISFF, version 7) elements.
#
# Words are little-endian, long integers "middle-endian" (high word first, each word
# little-endian), element ranges in binary offset form (value + 2^31), floating point values
# VAX D-float. All coordinates here are already in units of resolution (UORs).
use v5.36;

use Exporter 'import';
our @EXPORT_OK = qw(
    long unlong vax_double from_vax
    point_element multipoint_element text_element text_node_header complex_header
    dmrs_linkage fresh_header MAX_VERTICES MAX_COMPLEX_WORDS
    TYPE_CELL TYPE_LINE TYPE_LINE_STRING TYPE_SHAPE TYPE_TEXT_NODE TYPE_TCB
    TYPE_CURVE TYPE_COMPLEX_CHAIN TYPE_COMPLEX_SHAPE TYPE_TEXT
);

use constant {
    TYPE_CELL          => 2,
    TYPE_LINE          => 3,
    TYPE_LINE_STRING   => 4,
    TYPE_SHAPE         => 6,
    TYPE_TEXT_NODE     => 7,
    TYPE_TCB           => 9,
    TYPE_CURVE         => 11,
    TYPE_COMPLEX_CHAIN => 12,
    TYPE_COMPLEX_SHAPE => 14,
    TYPE_TEXT          => 17,
    MAX_VERTICES       => 101,      # vertices one line string, shape or curve may hold
    MAX_COMPLEX_WORDS  => 65535,    # a complex element's total length
    PROPERTY_ATTRIBUTES => 0x0800,  # the A bit: attribute linkage follows
};

sub long ($value) {
    my $u = $value & 0xFFFFFFFF;
    return pack('vv', $u >> 16, $u & 0xFFFF);
}

sub unlong ($bytes) {
    my ($high, $low) = unpack('vv', $bytes);
    my $u = ($high << 16) | $low;
    return $u >= 2**31 ? $u - 2**32 : $u;
}

# IEEE double to VAX D-float: the same 52 fraction bits moved up by three, the exponent
# rebased (VAX keeps the hidden bit as 0.1f and biases by 128), the words high first.
sub vax_double ($value) {
    my $bits = unpack('Q<', pack('d<', $value));
    my $sign = $bits >> 63;
    my $exponent = ($bits >> 52) & 0x7FF;
    my $fraction = $bits & ((1 << 52) - 1);
    return "\0" x 8 if $exponent == 0;    # zero (VAX has no denormals)
    my $vax_exponent = $exponent - 1023 + 129;
    die "value $value does not fit a VAX double\n" if $vax_exponent > 255;
    return "\0" x 8 if $vax_exponent <= 0;
    my $vax = ($sign << 63) | ($vax_exponent << 55) | ($fraction << 3);
    return pack('v4', ($vax >> 48) & 0xFFFF, ($vax >> 32) & 0xFFFF, ($vax >> 16) & 0xFFFF, $vax & 0xFFFF);
}

sub from_vax ($bytes) {
    my @w = unpack('v4', $bytes);
    my $vax = ($w[0] << 48) | ($w[1] << 32) | ($w[2] << 16) | $w[3];
    my $vax_exponent = ($vax >> 55) & 0xFF;
    return 0.0 if $vax_exponent == 0;
    my $sign = $vax >> 63;
    my $fraction = ($vax >> 3) & ((1 << 52) - 1);    # the lowest three bits are dropped
    my $bits = ($sign << 63) | (($vax_exponent - 129 + 1023) << 52) | $fraction;
    return unpack('d<', pack('Q<', $bits));
}

sub range_bytes ($xlow, $ylow, $xhigh, $yhigh) {
    return join '', map { long($_ ^ 0x80000000) } map { $_ & 0xFFFFFFFF } $xlow, $ylow, 0, $xhigh, $yhigh, 0;
}

sub bounds (@points) {
    my ($xl, $yl, $xh, $yh) = (@{ $points[0] }, @{ $points[0] });
    for my $p (@points) {
        $xl = $p->[0] if $p->[0] < $xl;
        $xh = $p->[0] if $p->[0] > $xh;
        $yl = $p->[1] if $p->[1] < $yl;
        $yh = $p->[1] if $p->[1] > $yh;
    }
    return ($xl, $yl, $xh, $yh);
}

# One graphic element: the element header, the display header and the type's own data, then
# the linkage. $e: type, level, complex (component of a complex element), range [xl,yl,xh,yh],
# symbology {style, weight, color}, body (the bytes after the display header), linkage.
sub element ($e) {
    my $body = $e->{body};
    $body .= "\0" if length($body) % 2;
    my $linkage = $e->{linkage} // '';
    my $core = 36 + length $body;
    my $total = $core + length $linkage;
    my $s = $e->{symbology} // {};
    my $symbology = ($s->{style} // 0) | (($s->{weight} // 0) << 3);
    return pack('CCv', $e->{level} | ($e->{complex} ? 0x80 : 0), $e->{type}, ($total - 4) / 2)
        . range_bytes(@{ $e->{range} })
        . pack('vvvCC', 0, ($core - 32) / 2, $linkage eq '' ? 0 : PROPERTY_ATTRIBUTES, $symbology, $s->{color} // 0)
        . $body . $linkage;
}

sub coordinates (@points) { return join '', map { long($_->[0]) . long($_->[1]) } @points }

# A point is a line of length zero.
sub point_element ($x, $y, %e) {
    return element({ %e, type => TYPE_LINE, range => [ $x, $y, $x, $y ], body => coordinates([ $x, $y ], [ $x, $y ]) });
}

sub multipoint_element ($type, $points, %e) {
    return element({ %e, type => $type, range => [ bounds(@$points) ], body => pack('v', scalar @$points) . coordinates(@$points) });
}

# $t: origin [x, y] (the lower left corner, as stored), string, font, justification, the
# character width and height and the range [xl, yl, xh, yh], all in UORs.
sub text_element ($t, %e) {
    my ($x, $y) = @{ $t->{origin} };
    my $length = length $t->{string};
    my $multiplier_w = int($t->{width} * 1000 / 6 + 0.5);
    my $multiplier_h = int($t->{height} * 1000 / 6 + 0.5);
    my $body = pack('CC', $t->{font}, $t->{justification}) . long($multiplier_w) . long($multiplier_h)
        . long(0) . long($x) . long($y) . pack('CC', $length, 0) . $t->{string};
    return element({ %e, type => TYPE_TEXT, range => $t->{range}, body => $body });
}

# The header of a text node holding $count text elements of $component_words words in all.
sub text_node_header ($t, $count, $component_words, %e) {
    my ($x, $y) = @{ $t->{origin} };
    my $linkage_words = length($e{linkage} // '') / 2;
    my $body = pack('vvvCCCC', 16 + $linkage_words + $component_words, $count, $t->{number}, 255, $t->{longest}, $t->{font}, $t->{justification})
        . long(int($t->{height} * 1.5 + 0.5)) . long(int($t->{width} * 1000 / 6 + 0.5)) . long(int($t->{height} * 1000 / 6 + 0.5))
        . long(0) . long($x) . long($y);
    return element({ %e, type => TYPE_TEXT_NODE, range => $t->{range}, body => $body });
}

# A complex chain or shape header: four words of attributes make it 24 words long; a database
# linkage takes their place.
sub complex_header ($type, $count, $component_words, $range, %e) {
    my $linkage = $e{linkage} // '';
    my $padding = $linkage eq '' ? "\0" x 8 : '';
    my $following = (40 + length($padding) + length($linkage) - 38) / 2;
    return element({ %e, type => $type, range => $range, body => pack('vv', $following + $component_words, $count) . $padding });
}

# The classic DMRS database linkage: entity number (the table's number in the database's
# catalogue) and a 24-bit mslink; the last byte as GDAL's writer sets it.
sub dmrs_linkage ($entity, $mslink) {
    return pack('CCvvCC', 0, 0, $entity, $mslink & 0xFFFF, ($mslink >> 16) & 0xFF, 1);
}

# The three header elements of a new 2D design file: the TCB (type 9) with the units and the
# global origin, an empty digitizer setup (type 8) and an empty level symbology (type 10).
sub fresh_header (%u) {
    my $tcb = "\0" x 1536;
    substr($tcb, 0, 4) = pack('CCv', 8, TYPE_TCB, (1536 - 4) / 2);
    substr($tcb, 1112, 4) = long($u{subunits_per_master});
    substr($tcb, 1116, 4) = long($u{uors_per_subunit});
    substr($tcb, 1120, 2) = sprintf('%-2.2s', $u{master_name});
    substr($tcb, 1122, 2) = sprintf('%-2.2s', $u{sub_name});
    substr($tcb, 1240, 8) = vax_double($u{origin_x});
    substr($tcb, 1248, 8) = vax_double($u{origin_y});
    substr($tcb, 1256, 8) = vax_double(0);
    my $digitizer = pack('CCv', 0, 8, (356 - 4) / 2) . "\0" x 352;
    my $levels = pack('CCv', 0, 10, (156 - 4) / 2) . "\0" x 152;
    return $tcb . $digitizer . $levels;
}

1;
