package Mapfeed::Convert;
# Turns input records into design file elements, as the job asks: lines, curves and polygons
# on the linework level with the line symbology, points and centroids on the point level with
# the point symbology, as points, text, text nodes (or, for cells, points), each with its
# mslink when the job has one.
use v5.36;

use POSIX qw(floor);

use Mapfeed::Dgn qw(
    point_element multipoint_element text_element text_node_header complex_header dmrs_linkage
    MAX_VERTICES MAX_COMPLEX_WORDS
    TYPE_LINE_STRING TYPE_SHAPE TYPE_CURVE TYPE_COMPLEX_CHAIN TYPE_COMPLEX_SHAPE
);
use Mapfeed::Failure qw(fail EXIT_INPUT EXIT_DESIGN EXIT_USAGE);

use constant {
    ENTITY_NUMBER => 1,               # the table's number the linkages carry
    MAX_MSLINK    => 16_777_215,      # what a DMRS linkage holds
    CURVE_POINTS  => MAX_VERTICES - 4,    # two points at each end only steer the curve
};

# $plane: uors_per_master, origin [x, y] in UORs. $notes and $substitutions collect messages.
sub new ($class, %a) {
    my $self = bless {%a, bytes => '', counts => {}, elements => 0, sequence => 0}, $class;
    $self->{node_number} = $a{last_node_number} // 0;
    return $self;
}

sub bytes ($self)  { return $self->{bytes} }
sub counts ($self) { return $self->{counts} }

sub count ($self, $what, $n = 1) { $self->{counts}{$what} += $n }

sub to_uor ($self, $x, $y, $record) {
    my $upm = $self->{plane}{uors_per_master};
    my ($ox, $oy) = @{ $self->{plane}{origin} };
    my @uor = map { floor($_ + 0.5) } $x * $upm + $ox, $y * $upm + $oy;
    for (@uor) {
        fail(EXIT_DESIGN, "record $record->{id} (input line $record->{line}): the coordinate ($x, $y) lies outside the design plane")
            if $_ > 2_147_483_647 || $_ < -2_147_483_647;
    }
    return \@uor;
}

# The mslink of the next record, counting up from the first, or the record's own id.
sub next_linkage ($self, $record) {
    my $mode = $self->{job}{mslink};
    return '' unless defined $mode;
    my $mslink;
    if ($mode eq 'id') {
        fail(EXIT_INPUT, "record at input line $record->{line}: its id '$record->{id}' cannot be an mslink (1 to " . MAX_MSLINK . ')')
            unless $record->{id} =~ /^\+?\d+$/ && $record->{id} >= 1 && $record->{id} <= MAX_MSLINK;
        $mslink = 0 + $record->{id};
    } else {
        $mslink = $mode + $self->{sequence}++;
        fail(EXIT_USAGE, "-M $mode: record at input line $record->{line} would get mslink $mslink, more than " . MAX_MSLINK)
            if $mslink > MAX_MSLINK;
    }
    return dmrs_linkage(ENTITY_NUMBER, $mslink);
}

sub add ($self, $bytes) { $self->{bytes} .= $bytes }

sub line_style ($self, $linkage) {
    return (level => $self->{job}{line_level} // 1, symbology => $self->{job}{line_symbology}, linkage => $linkage);
}

sub point_style ($self, $linkage) {
    return (level => $self->{job}{point_level} // 1, symbology => $self->{job}{point_symbology}, linkage => $linkage);
}

# Splits a vertex list into pieces of at most $size that share their end points.
sub pieces ($points, $size) {
    my @pieces;
    for (my $start = 0; $start < $#$points; $start += $size - 1) {
        my $end = $start + $size - 1;
        $end = $#$points if $end > $#$points;
        push @pieces, [ $start, $end ];
    }
    return @pieces;
}

# A curve's two extra points at each end: the neighbours along the line where there are any,
# otherwise the first (last) segment continued straight.
sub steered ($points, $start, $end) {
    my @p = @$points;
    my $at = sub ($i) {
        return $p[$i] if $i >= 0 && $i <= $#p;
        my ($a, $b, $k) = $i < 0 ? ($p[0], $p[1], -$i) : ($p[-1], $p[-2], $i - $#p);
        return [ $a->[0] + $k * ($a->[0] - $b->[0]), $a->[1] + $k * ($a->[1] - $b->[1]) ];
    };
    return [ map { $at->($_) } $start - 2 .. $end + 2 ];
}

sub element_words ($bytes) { return length($bytes) / 2 }

# A line string, curve or shape; a complex chain or shape of pieces when it is too long for one.
sub linework ($self, $record, $uor, $closed) {
    my $linkage = $self->next_linkage($record);
    my %style = $self->line_style('');
    my $curves = $self->{job}{curves} && !$closed;
    my $single_type = $closed ? TYPE_SHAPE : $curves ? TYPE_CURVE : TYPE_LINE_STRING;
    my $limit = $curves ? CURVE_POINTS : MAX_VERTICES;
    my $what = $closed ? 'shape' : $curves ? 'curve' : 'line string';

    if (@$uor <= $limit) {
        my $points = $curves ? steered($uor, 0, $#$uor) : $uor;
        $self->add(multipoint_element($single_type, $points, %style, linkage => $linkage));
        $self->count($what);
        return;
    }
    my $component_type = $curves ? TYPE_CURVE : TYPE_LINE_STRING;
    my @components = map {
        my ($start, $end) = @$_;
        my $points = $curves ? steered($uor, $start, $end) : [ @$uor[ $start .. $end ] ];
        multipoint_element($component_type, $points, %style, complex => 1);
    } pieces($uor, $limit);
    my $words = 0;
    $words += element_words($_) for @components;
    my @all = @$uor;
    my ($xl, $yl, $xh, $yh) = (@{ $all[0] }, @{ $all[0] });
    for (@all) {
        $xl = $_->[0] if $_->[0] < $xl; $xh = $_->[0] if $_->[0] > $xh;
        $yl = $_->[1] if $_->[1] < $yl; $yh = $_->[1] if $_->[1] > $yh;
    }
    my $header = complex_header($closed ? TYPE_COMPLEX_SHAPE : TYPE_COMPLEX_CHAIN, scalar @components, $words,
        [ $xl, $yl, $xh, $yh ], %style, linkage => $linkage);
    fail(EXIT_INPUT, "record $record->{id} (input line $record->{line}) has too many vertices (" . scalar(@$uor)
        . ') for one complex element') if element_words($header) + $words > MAX_COMPLEX_WORDS;
    $self->add($header . join('', @components));
    $self->count($closed ? 'complex shape' : 'complex chain');
}

# The centre of the grid cell a location falls in, when the job gives a grid.
sub snapped ($self, $x, $y) {
    my $grid = $self->{job}{raster} or return ($x, $y);
    my $p = $grid->{pixel};
    my $column = floor(($x - $grid->{ulhx}) / $p);
    my $row = floor(($grid->{ulhy} - $y) / $p);
    return ($grid->{ulhx} + ($column + 0.5) * $p, $grid->{ulhy} - ($row + 0.5) * $p);
}

# Text elements know no margins: a margin justification places the text as left or right.
my %TEXT_JUSTIFICATION = (3 => 0, 4 => 1, 5 => 2, 9 => 12, 10 => 13, 11 => 14);

# The text of a location, the record's id. A text element stores its lower left corner; the
# justification names where the location lies on the text's box (0-2 left, 6-8 centre, 12-14
# right; each top, centre, bottom). Characters are as wide as they are high.
sub text_at ($self, $record, $uor) {
    my $job = $self->{job};
    my $height = ($job->{text_size} // 1) * $self->{plane}{uors_per_master};
    my $string = substr("$record->{id}", 0, 255);
    my $asked = $job->{justification} // 2;
    my $just = $TEXT_JUSTIFICATION{$asked} // $asked;
    my $length = $height * length $string;
    my $dx = $just >= 12 ? $length : $just >= 6 ? $length / 2 : 0;
    my $dy = ($just % 3 == 0) ? $height : ($just % 3 == 1) ? $height / 2 : 0;
    my @corner = (floor($uor->[0] - $dx + 0.5), floor($uor->[1] - $dy + 0.5));
    return {
        origin        => \@corner,
        string        => $string,
        font          => $job->{font} // 0,
        justification => $just,
        asked         => $asked,
        width         => $height,
        height        => $height,
        range         => [ @corner, $corner[0] + int($length + 0.5), $corner[1] + int($height + 0.5) ],
    };
}

# A point or centroid as the job's point type asks.
sub location ($self, $record, $x, $y, $linkage) {
    my %style = $self->point_style($linkage);
    my $uor = $self->to_uor($self->snapped($x, $y), $record);
    my $type = $self->{job}{point_type};
    if ($type eq 'A') {
        $self->add(text_element($self->text_at($record, $uor), %style));
        $self->count('text');
    } elsif ($type eq 'T') {
        # The node keeps the location itself and the justification as asked.
        my $t = $self->text_at($record, $uor);
        my $text = text_element($t, %style, linkage => '', complex => 1);
        my $node = { %$t, origin => $uor, justification => $t->{asked},
            number => ++$self->{node_number} & 0xFFFF, longest => length $t->{string} };
        $self->add(text_node_header($node, 1, element_words($text), %style) . $text);
        $self->count('text node');
    } else {
        $self->add(point_element(@$uor, %style));
        $self->count('point');
    }
}

# One record of the given theme (P, L or A).
sub record ($self, $record, $theme) {
    if ($record->{kind} eq 'point') {
        if ($theme ne 'P' && !defined $self->{job}{point_level}) {
            $self->{left_out}++;
            return;
        }
        $self->location($record, $record->{x}, $record->{y}, $self->next_linkage($record));
        return;
    }
    my @points = @{ $record->{points} };
    my $closed = $theme eq 'A';
    if ($closed) {
        my ($first, $last) = ($points[0], $points[-1]);
        if ($first->[0] != $last->[0] || $first->[1] != $last->[1]) {
            push @points, $first;
            push @{ $self->{substitutions} }, "record $record->{id} (input line $record->{line}): the polygon was not closed; its first vertex was repeated at its end";
        }
        fail(EXIT_INPUT, "record $record->{id} (input line $record->{line}): a polygon needs at least three vertices")
            if @points < 4;
    }
    my @uor = map { $self->to_uor(@$_, $record) } @points;
    # The label point shares the polygon's mslink: link it before the linework takes the next.
    my $label = $record->{label};
    if ($label && defined $self->{job}{point_level}) {
        my $sequence = $self->{sequence};
        $self->linework($record, \@uor, $closed);
        my $linkage = '';
        if (defined $self->{job}{mslink}) {
            local $self->{sequence} = $sequence;
            $linkage = $self->next_linkage($record);
        }
        $self->location($record, @$label, $linkage);
        return;
    }
    $self->{left_out}++ if $label;
    $self->linework($record, \@uor, $closed);
}

sub left_out ($self) { return $self->{left_out} // 0 }

1;
