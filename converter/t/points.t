# Point records into points, annotation and text nodes, with the whole command line the
# program composes, read back with ogrinfo.
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Test::More;

my $dir = scratch();
my $input = "$dir/wells.gen";
write_file($input, "11 1000.0004 2000.0006\n12, 1010.5, 2010.25\n13 1020 2030\nEND\n");

# "Point" theme, point level 5, table "wells", first mslink 7, symbology 1,2,3 (slot 6 is
# the three-character flag "-C ").
my %point_job = (3 => [ '-S', 'A' ], 4 => [ '-P', 'P' ], 5 => [ ' ', ' ' ], 6 => [ '-C ', '5' ],
    7 => [ '-T', 'wells' ], 8 => [ '-M', '7' ], 9 => [ '-O', 'P' ], 11 => [ ' ', '' ], 14 => [ '-sp', '1,2,3' ]);

subtest 'points: type, level, symbology, counted mslinks, coordinates rounded' => sub {
    my $design = "$dir/points.dgn";
    write_file($design, '');
    my ($status, $out, $err) = run_converter($input, $design, slots(%point_job));
    is($status, 0, 'exit 0') or diag $err;
    like($out, qr/3 points/, 'says what it wrote');
    like($err, qr/table name 'wells' is not stored/, 'reports the table name the file cannot hold');
    my $f = features($design);
    is(scalar @$f, 3, 'three features');
    is_deeply([ map { [ @$_{qw(Type Level ColorIndex Weight Style EntityNum MSLink)} ] } @$f ],
        [ map { [ 3, 5, 3, 2, 1, 1, $_ ] } 7 .. 9 ], 'zero-length lines on level 5, style 1, weight 2, color 3, mslinks 7 to 9');
    is_deeply($f->[0]{coordinates}, [ [ 1000, 2000.001 ], [ 1000, 2000.001 ] ], 'rounded to the nearest UOR, not cut');
    is_deeply($f->[1]{coordinates}[0], [ 1010.5, 2010.25 ], 'comma separated record');
};

subtest 'annotation: the id as text, font, size, justification; -i takes the ids' => sub {
    my $design = "$dir/text.dgn";
    write_file($design, '');
    my %job = (%point_job, 8 => [ '-M', '-i' ], 9 => [ '-O', 'A' ], 15 => [ '-f', '3' ], 16 => [ '-txsz', '2' ], 17 => [ '-J', '7' ]);
    my ($status, undef, $err) = run_converter($input, $design, slots(%job));
    is($status, 0, 'exit 0') or diag $err;
    my $f = features($design);
    is_deeply([ map { [ @$_{qw(Type Level Text MSLink)} ] } @$f ], [ map { [ 17, 5, $_, $_ ] } 11 .. 13 ], 'texts of the ids, mslinks the ids');
    # Centre/centre: two characters 2 wide and 2 high, so the lower left lies 2 left, 1 down.
    is_deeply($f->[2]{coordinates}, [ [ '1018', '2029' ] ], 'lower left corner from the justification');
    like($f->[2]{style_string}, qr/s:2(?:\.0+)?g,f:ENGINEERING/, 'height 2 master units, font 3');
};

subtest 'text nodes: a type 7 header before each text' => sub {
    my $design = "$dir/nodes.dgn";
    write_file($design, '');
    my ($status, undef, $err) = run_converter($input, $design, slots(%point_job, 9 => [ '-O', 'T' ]));
    is($status, 0, 'exit 0') or diag $err;
    my @types = element_types(read_bytes($design));
    is_deeply([ @types[ 3 .. $#types ] ], [ (7, 17) x 3 ], 'node header, then its text, three times');
    is_deeply([ map { $_->{Text} } @{ features($design) } ], [ 11, 12, 13 ], 'the texts read back');
    run_converter($input, $design, slots(%point_job, 9 => [ '-O', 'T' ]));
    is_deeply([ node_numbers(read_bytes($design)) ], [ 1 .. 6 ], 'a second run numbers its nodes on');
};

subtest 'raster snapping' => sub {
    my $design = "$dir/snapped.dgn";
    write_file($design, '');
    my %job = (%point_job, 26 => [ '-R', '1000,2040,10' ]);
    my ($status, undef, $err) = run_converter($input, $design, slots(%job));
    is($status, 0, 'exit 0') or diag $err;
    my $f = features($design);
    is_deeply([ map { $_->{coordinates}[0] } @$f ], [ [ 1005, 2005 ], [ 1015, 2015 ], [ 1025, 2025 ] ], 'cell centres (a location on a cell border belongs to the cell below it)');
};

# The elements after the header, read straight from the bytes: [type, bytes] each.
sub elements ($bytes) {
    my @elements;
    for (my $at = 0; $at + 4 <= length $bytes && substr($bytes, $at, 2) ne "\xFF\xFF";) {
        my ($type, $words) = unpack('x C v', substr($bytes, $at, 4));
        push @elements, [ $type & 0x7F, substr($bytes, $at, 4 + 2 * $words) ];
        $at += 4 + 2 * $words;
    }
    return @elements;
}
sub element_types ($bytes) { return map { $_->[0] } elements($bytes) }
sub node_numbers ($bytes) { return map { $_->[0] == 7 ? unpack('x40 v', $_->[1]) : () } elements($bytes) }

done_testing;
